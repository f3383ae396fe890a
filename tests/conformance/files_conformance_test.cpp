// What the log relies on when it opens a file a movie named, checked against
// Windows (under Wine) and the stand-in alike: the attributes that tell a
// folder, a file and nothing apart, and appending that keeps what is there.
#include <cstdio>
#include <string>

#include "windows_api.h"
#include "wine_devices.h"

namespace {

using Files = WindowsApi;

const WCHAR kFile[] = WIDE_TEXT("c:\\HidBridge_files_conformance.txt");

std::string Bytes(const WCHAR* name) {
  std::string bytes;
  if (std::FILE* file = _wfopen(name, WIDE_TEXT("rb"))) {
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
      if (c != '\r') bytes += static_cast<char>(c);  // text mode writes CR LF on Windows, LF on the stand-in
    std::fclose(file);
  }
  return bytes;
}

TEST_F(Files, AttributesTellAFolderAFileAndNothing) {
  std::FILE* file = _wfopen(kFile, WIDE_TEXT("w"));
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  const DWORD attributes = GetFileAttributesW(kFile);
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT), 0u);
  EXPECT_NE(GetFileAttributesW(WIDE_TEXT("c:\\")) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  SetLastError(0);
  EXPECT_EQ(GetFileAttributesW(WIDE_TEXT("c:\\HidBridge_no_such_file.txt")), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  SetLastError(0);
  EXPECT_EQ(GetFileAttributesW(WIDE_TEXT("c:\\HidBridge_no_such_folder\\log.txt")), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Files, AppendingKeepsWhatIsThere) {
  std::FILE* file = _wfopen(kFile, WIDE_TEXT("w"));
  ASSERT_NE(file, nullptr);
  std::fputs("first\n", file);
  std::fclose(file);
  file = _wfopen(kFile, WIDE_TEXT("a"));
  ASSERT_NE(file, nullptr);
  std::fputs("second\n", file);
  std::fclose(file);
  EXPECT_EQ(Bytes(kFile), "first\nsecond\n");
}

}  // namespace

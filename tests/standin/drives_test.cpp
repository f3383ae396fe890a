// fopen on drive-letter paths lands under the drive root, never outside it.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "standin_fixture.h"

namespace {

class Drives : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    root = std::filesystem::temp_directory_path() / ("standin-drives-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    standin::SetDriveRoot(root.string());
  }
  void TearDown() override {
    standin::SetDriveRoot("");
    std::filesystem::remove_all(root);
    StandinTest::TearDown();
  }
  std::filesystem::path root;
};

TEST_F(Drives, DrivePathsMapUnderTheRootWithFoldersMade) {
  FILE* log = fopen("C:\\Logs\\sub/HidBridge_XtraLog.txt", "w+");
  ASSERT_NE(log, nullptr);
  std::fputs("hello", log);
  std::fclose(log);
  std::ifstream written(root / "c" / "Logs" / "sub" / "HidBridge_XtraLog.txt");
  std::string text;
  std::getline(written, text);
  EXPECT_EQ(text, "hello");
  EXPECT_EQ(standin::NativePath("d:/x.txt"), (root / "d" / "x.txt").string());
}

// As on Windows: fopen reads its name in the ANSI code page, _wfopen in
// UTF-16; both reach the same file.
TEST_F(Drives, NarrowNamesAreAnsiAndWideNamesUtf16) {
  FILE* wide = _wfopen(u"c:\\Grüße\\log.txt", u"w+");
  ASSERT_NE(wide, nullptr);
  std::fputs("wide", wide);
  std::fclose(wide);
  EXPECT_TRUE(std::filesystem::exists(root / "c" / "Grüße" / "log.txt"));
  FILE* narrow = fopen("c:\\Gr\xFC\xDF" "e\\log.txt", "r");
  ASSERT_NE(narrow, nullptr) << "Windows-1252";
  std::fclose(narrow);
  EXPECT_EQ(fopen("c:\\Grüße\\log.txt", "r"), nullptr) << "UTF-8 bytes read as Windows-1252 name another file";
  standin::FailNext("_wfopen", EACCES);
  EXPECT_EQ(_wfopen(u"c:\\log.txt", u"w"), nullptr);
  EXPECT_EQ(errno, EACCES);
}

TEST_F(Drives, DotDotStopsAtTheDriveRoot) {
  EXPECT_EQ(standin::NativePath("c:\\..\\..\\etc\\.\\passwd"), (root / "c" / "etc" / "passwd").string());
  EXPECT_EQ(standin::NativePath("c:\\a\\..\\b"), (root / "c" / "b").string());
}

TEST_F(Drives, OtherPathsPassThroughAndEmptyOnesFail) {
  EXPECT_EQ(standin::NativePath("relative/name.txt"), "relative/name.txt");
  errno = 0;
  EXPECT_EQ(fopen("", "w"), nullptr);
  EXPECT_EQ(errno, ENOENT);
  standin::FailNext("fopen", EACCES);
  EXPECT_EQ(fopen("c:\\log.txt", "w"), nullptr);
  EXPECT_EQ(errno, EACCES);
}

TEST_F(Drives, RootComesFromTheEnvironmentByDefault) {
  standin::SetDriveRoot("");
  ::setenv("HIDBRIDGE_DRIVE_ROOT", "/somewhere", 1);
  EXPECT_EQ(standin::DriveRoot(), "/somewhere");
  ::unsetenv("HIDBRIDGE_DRIVE_ROOT");
  EXPECT_NE(standin::DriveRoot().find("hidbridge-drives"), std::string::npos);
}

}  // namespace

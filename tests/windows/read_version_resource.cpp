// Reads a file's version resource as Windows' file properties and installers
// do (version.dll), and checks it against the build's version and the file's
// name. Only this test program imports version.dll; the Xtra never does.
// usage: read_version_resource FILE VERSION ORIGINAL_FILENAME
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const char* text) {
  std::wstring wide;
  for (; *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return wide;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
  return narrow;
}

class VersionResource {
 public:
  explicit VersionResource(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return;
    data_.resize(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) data_.clear();
  }
  bool found() const { return !data_.empty(); }

  // "1.0.11.0", from the fixed part that Windows compares versions by.
  std::string FileVersion() const {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
      return "";
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned{HIWORD(fixed->dwFileVersionMS)},
                  unsigned{LOWORD(fixed->dwFileVersionMS)}, unsigned{HIWORD(fixed->dwFileVersionLS)},
                  unsigned{LOWORD(fixed->dwFileVersionLS)});
    return text;
  }

  std::string Text(const wchar_t* name) const {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return "";
    return Narrow(value);
  }

 private:
  std::vector<unsigned char> data_;
};

int failures = 0;

void Expect(const char* field, const std::string& actual, const std::string& expected) {
  const bool same = actual == expected;
  std::printf("%-18s %s%s\n", field, actual.c_str(), same ? "" : ("   expected " + expected).c_str());
  if (!same) ++failures;
}

void ExpectSome(const char* field, const std::string& actual) {
  std::printf("%-18s %s%s\n", field, actual.c_str(), actual.empty() ? "   expected a text" : "");
  if (actual.empty()) ++failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: read_version_resource FILE VERSION ORIGINAL_FILENAME\n", stderr);
    return 2;
  }
  const VersionResource resource(Wide(argv[1]));
  if (!resource.found()) {
    std::printf("%s has no version resource (%lu)\n", argv[1], GetLastError());
    return 1;
  }
  const std::string version = argv[2];
  Expect("fixed version", resource.FileVersion(), version + ".0");
  Expect("FileVersion", resource.Text(L"FileVersion"), version);
  Expect("ProductVersion", resource.Text(L"ProductVersion"), version);
  Expect("ProductName", resource.Text(L"ProductName"), "HidBridge");
  Expect("OriginalFilename", resource.Text(L"OriginalFilename"), argv[3]);
  ExpectSome("FileDescription", resource.Text(L"FileDescription"));
  ExpectSome("LegalCopyright", resource.Text(L"LegalCopyright"));
  return failures ? 1 : 0;
}

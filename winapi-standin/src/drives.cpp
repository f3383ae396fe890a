#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <vector>

#include "faults.h"
#include "resets.h"
#include "standin/drives.h"
#include "standin/files.h"
#include "standin/kernel.h"
#include "standin/stdio_redirect.h"
#include "text_conversions.h"

#undef fopen  // the real one, underneath
#undef _wfopen

namespace standin {
namespace {

std::mutex gMutex;
std::string gDriveRoot;
std::map<char, unsigned> gDriveTypes;

std::string DefaultDriveRoot() {
  if (const char* root = std::getenv("HIDBRIDGE_DRIVE_ROOT"); root && *root) return root;
  const char* temp = std::getenv("TMPDIR");
  return std::string(temp && *temp ? temp : "/tmp") + "/hidbridge-drives";
}

bool IsDrivePath(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// The parts of the path after "c:", resolved as Windows does: "." is
// dropped, ".." goes up but never above the drive's root.
std::vector<std::string> PartsBelowRoot(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 2; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '\\' && path[i] != '/') {
      part += path[i];
      continue;
    }
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  }
  return parts;
}

}  // namespace

void SetDriveRoot(const std::string& root) {
  std::lock_guard lock(gMutex);
  gDriveRoot = root;
}

std::string DriveRoot() {
  std::lock_guard lock(gMutex);
  return gDriveRoot.empty() ? DefaultDriveRoot() : gDriveRoot;
}

void SetDriveType(char letter, unsigned type) {
  std::lock_guard lock(gMutex);
  gDriveTypes[static_cast<char>(std::tolower(static_cast<unsigned char>(letter)))] = type;
}

namespace detail {

void ResetDriveTypes() {
  std::lock_guard lock(gMutex);
  gDriveTypes.clear();
}

}  // namespace detail

std::string NativePath(const std::string& path) {
  if (!IsDrivePath(path)) return path;
  std::filesystem::path native = DriveRoot();
  native /= std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(path[0]))));
  for (const std::string& part : PartsBelowRoot(path)) native /= part;
  return native.string();
}

}  // namespace standin

extern "C" UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName) {
  const std::string root = lpRootPathName ? lpRootPathName : "";
  if (root.size() != 3 || !standin::IsDrivePath(root) || (root[2] != '\\' && root[2] != '/')) return DRIVE_NO_ROOT_DIR;
  std::lock_guard lock(standin::gMutex);
  const auto set = standin::gDriveTypes.find(static_cast<char>(std::tolower(static_cast<unsigned char>(root[0]))));
  return set == standin::gDriveTypes.end() ? DRIVE_FIXED : set->second;
}

extern "C" UINT WINAPI GetDriveTypeW(LPCWSTR lpRootPathName) {
  return GetDriveTypeA(lpRootPathName ? standin::detail::Utf8FromWide(lpRootPathName).c_str() : nullptr);
}

const standin::detail::FaultPoint kGetFileAttributesWFault{"GetFileAttributesW"};

extern "C" DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
  if (kGetFileAttributesWFault.Fails()) return INVALID_FILE_ATTRIBUTES;
  const std::string path = lpFileName ? standin::detail::Utf8FromWide(lpFileName) : "";
  if (!standin::IsDrivePath(path)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  const std::filesystem::path native = standin::NativePath(path);
  std::error_code ignored;
  const std::filesystem::file_status status = std::filesystem::symlink_status(native, ignored);
  switch (status.type()) {
    case std::filesystem::file_type::not_found:
      SetLastError(std::filesystem::is_directory(native.parent_path(), ignored) ? ERROR_FILE_NOT_FOUND
                                                                                 : ERROR_PATH_NOT_FOUND);
      return INVALID_FILE_ATTRIBUTES;
    case std::filesystem::file_type::directory:
      return FILE_ATTRIBUTE_DIRECTORY;
    case std::filesystem::file_type::symlink:
      return FILE_ATTRIBUTE_REPARSE_POINT |
             (std::filesystem::is_directory(native, ignored) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE);
    default:
      return FILE_ATTRIBUTE_ARCHIVE;
  }
}

namespace {

// `path` in UTF-8.
FILE* OpenFile(const standin::detail::FaultPoint& fault, const std::string& path, const std::string& mode) {
  if (auto code = fault.Take()) {
    errno = static_cast<int>(*code);
    return nullptr;
  }
  const std::string native = standin::NativePath(path);
  if (native != path) {
    std::error_code ignored;  // fopen reports a folder that could not be made
    std::filesystem::create_directories(std::filesystem::path(native).parent_path(), ignored);
  }
  return fopen(native.c_str(), mode.c_str());
}

}  // namespace

const standin::detail::FaultPoint kFopenFault{"fopen"};

extern "C" FILE* StandinOpenFile(const char* path, const char* mode) {
  if (!path || !mode) {
    errno = EINVAL;
    return nullptr;
  }
  return OpenFile(kFopenFault, standin::detail::Utf8FromWide(standin::detail::WideFromAnsi(path).c_str()), mode);
}

const standin::detail::FaultPoint kWfopenFault{"_wfopen"};

extern "C" FILE* StandinOpenFileW(const WCHAR* path, const WCHAR* mode) {
  if (!path || !mode) {
    errno = EINVAL;
    return nullptr;
  }
  return OpenFile(kWfopenFault, standin::detail::Utf8FromWide(path), standin::detail::Utf8FromWide(mode));
}

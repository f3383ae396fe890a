#include "diagnostics/log_file_name.h"

#include <cstring>

#include "platform.h"

namespace {

char UpperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows opens these in every folder, with any extension, as devices.
bool IsDosDeviceName(const char* part, size_t length) {
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  size_t stem = 0;
  while (stem < length && part[stem] != '.') ++stem;
  // Windows also drops trailing spaces from the stem.
  while (stem > 0 && part[stem - 1] == ' ') --stem;
  const auto is = [&](const char* device) {
    if (std::strlen(device) != stem) return false;
    for (size_t i = 0; i < stem; ++i)
      if (UpperCase(part[i]) != device[i]) return false;
    return true;
  };
  for (const char* device : kDevices)
    if (is(device)) return true;
  // COM1 to COM9 and LPT1 to LPT9, and their zeros, which some Windows keep.
  const auto numbered = [&](const char* device) {
    return stem == 4 && part[3] >= '0' && part[3] <= '9' && UpperCase(part[0]) == device[0] &&
           UpperCase(part[1]) == device[1] && UpperCase(part[2]) == device[2];
  };
  return numbered("COM") || numbered("LPT");
}

}  // namespace

bool IsLocalLogFileName(const char* name) {
  const char letter = UpperCase(name[0]);
  if (letter < 'A' || letter > 'Z' || name[1] != ':' || !IsSeparator(name[2])) return false;
  // A colon past the drive names a stream; the rest cannot be in a name.
  if (std::strpbrk(name + 2, ":*?\"<>|")) return false;
  size_t partStart = 3;
  for (size_t i = 3;; ++i) {
    const char c = name[i];
    if (c != '\0' && !IsSeparator(c)) continue;
    const size_t length = i - partStart;
    // "c:\", "c:\folder\" and "c:\a\\b" name no file.
    if (length == 0 || IsDosDeviceName(name + partStart, length)) return false;
    if (c == '\0') break;
    partStart = i + 1;
  }
  const WCHAR root[] = {static_cast<WCHAR>(name[0]), ':', '\\', '\0'};
  const UINT type = GetDriveTypeW(root);
  return type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_RAMDISK;
}

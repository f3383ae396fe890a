#include "diagnostics/log_file_name.h"

#include <cstring>
#include <initializer_list>

#include "values/host_text.h"

namespace {

WCHAR UpperCase(WCHAR c) { return c >= 'a' && c <= 'z' ? static_cast<WCHAR>(c - 'a' + 'A') : c; }

bool IsSeparator(WCHAR c) { return c == '\\' || c == '/'; }

// Control characters are no part of a name; a colon past the drive names a
// stream; the rest cannot be in a name.
bool IsForbidden(WCHAR c) {
  if (c < 0x20) return true;
  for (const char forbidden : {':', '*', '?', '"', '<', '>', '|'})
    if (c == static_cast<WCHAR>(forbidden)) return true;
  return false;
}

bool SameLetters(const WCHAR* text, const char* upper, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (UpperCase(text[i]) != static_cast<WCHAR>(upper[i])) return false;
  return true;
}

// Windows counts the Latin-1 superscripts one to three as digits of COM and
// LPT ports.
bool IsPortDigit(WCHAR c) { return (c >= '0' && c <= '9') || c == 0x00B9 || c == 0x00B2 || c == 0x00B3; }

// Windows opens these in every folder, with any extension, as devices: the
// name up to its first dot, less trailing spaces, is what counts. Leading
// spaces are passed over too, to be safe.
bool IsDosDeviceName(const WCHAR* part, size_t length) {
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  while (length > 0 && part[0] == ' ') ++part, --length;
  size_t stem = 0;
  while (stem < length && part[stem] != '.') ++stem;
  while (stem > 0 && part[stem - 1] == ' ') --stem;
  for (const char* device : kDevices)
    if (std::strlen(device) == stem && SameLetters(part, device, stem)) return true;
  // COM1 to COM9 and LPT1 to LPT9, and their zeros, which Windows keeps too.
  return stem == 4 && IsPortDigit(part[3]) && (SameLetters(part, "COM", 3) || SameLetters(part, "LPT", 3));
}

// What Windows opens for reading, never runs, whatever program a user has
// set for it. Trailing dots and spaces, which Windows drops, do not end it.
bool HasTextExtension(const WCHAR* part, size_t length) {
  return length >= 4 && (SameLetters(part + length - 4, ".LOG", 4) || SameLetters(part + length - 4, ".TXT", 4));
}

}  // namespace

const char* LogFileNameFault(const char* name, WCHAR* wide, size_t wideSize) {
  // The movie's text goes to Windows in UTF-16: a name in UTF-8 (Director
  // 11) read in the ANSI code page would be another file.
  if (!HostTextToWide(name, wide, wideSize)) return kLogNameNotLocal;
  const WCHAR letter = UpperCase(wide[0]);
  if (letter < 'A' || letter > 'Z' || wide[1] != ':' || !IsSeparator(wide[2])) return kLogNameNotLocal;
  size_t partStart = 3;
  for (size_t i = 3;; ++i) {
    const WCHAR c = wide[i];
    if (c != '\0' && !IsSeparator(c)) {
      if (IsForbidden(c)) return kLogNameNotLocal;
      continue;
    }
    const size_t length = i - partStart;
    // "c:\", "c:\folder\" and "c:\a\\b" name no file.
    if (length == 0) return kLogNameNotLocal;
    if (IsDosDeviceName(wide + partStart, length)) return kLogNameIsDevice;
    if (c == '\0') {
      if (!HasTextExtension(wide + partStart, length)) return kLogNameNotText;
      break;
    }
    partStart = i + 1;
  }
  const WCHAR root[] = {wide[0], ':', '\\', '\0'};
  const UINT type = GetDriveTypeW(root);
  if (type != DRIVE_FIXED && type != DRIVE_REMOVABLE && type != DRIVE_RAMDISK) return kLogNameNotLocal;
  return nullptr;
}

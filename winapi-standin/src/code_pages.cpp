// Built on iconv, which knows Windows-1252 and UTF-8 as Windows does; what a
// code page cannot show becomes '?' (or U+FFFD from bad UTF-8), as there.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "faults.h"
#include "standin/code_pages.h"
#include "standin/kernel.h"
#include "text_conversions.h"

namespace {

const char* IconvName(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case 1252:
      return "WINDOWS-1252";
    case CP_UTF8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

// Converts all of `input`; an unconvertible unit becomes `replacement`.
std::string Convert(const char* to, const char* from, const char* input, size_t length, size_t unitSize,
                    const std::string& replacement, bool* replaced) {
  std::string output;
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return output;
  char buffer[256];
  auto* in = const_cast<char*>(input);
  size_t left = length;
  while (left > 0) {
    char* out = buffer;
    size_t room = sizeof buffer;
    const size_t done = iconv(converter, &in, &left, &out, &room);
    output.append(buffer, static_cast<size_t>(out - buffer));
    if (done != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ or EINVAL: skip one unit and stand in for it.
    output += replacement;
    if (replaced) *replaced = true;
    const size_t skip = left < unitSize ? left : unitSize;
    in += skip;
    left -= skip;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(converter);
  return output;
}

template <class Unit>
size_t MeasuredLength(const Unit* text, int length) {
  if (length >= 0) return static_cast<size_t>(length);
  size_t units = 0;
  while (text[units]) ++units;
  return units + 1;  // the terminator is converted and counted too
}

}  // namespace

namespace standin::detail {

std::string Utf8FromWide(const WCHAR* text) {
  if (!text) return "";
  return Convert("UTF-8", "UTF-16LE", reinterpret_cast<const char*>(text),
                 (MeasuredLength(text, -1) - 1) * sizeof(WCHAR), sizeof(WCHAR), "\xEF\xBF\xBD", nullptr);
}

std::u16string WideFromUtf8(const std::string& text) {
  const std::string wide =
      Convert("UTF-16LE", "UTF-8", text.data(), text.size(), 1, std::string("\xFD\xFF", 2), nullptr);
  std::u16string units(wide.size() / sizeof(WCHAR), u'\0');
  wide.copy(reinterpret_cast<char*>(units.data()), units.size() * sizeof(WCHAR));
  return units;
}

std::u16string WideFromAnsi(const std::string& text) {
  const std::string wide =
      Convert("UTF-16LE", "WINDOWS-1252", text.data(), text.size(), 1, std::string("?\0", 2), nullptr);
  std::u16string units(wide.size() / sizeof(WCHAR), u'\0');
  wide.copy(reinterpret_cast<char*>(units.data()), units.size() * sizeof(WCHAR));
  return units;
}

std::string AnsiFromWide(const std::u16string& text) {
  return Convert("WINDOWS-1252", "UTF-16LE", reinterpret_cast<const char*>(text.data()), text.size() * sizeof(WCHAR),
                 sizeof(WCHAR), "?", nullptr);
}

}  // namespace standin::detail

extern "C" UINT WINAPI GetACP() { return 1252; }

const standin::detail::FaultPoint kWideCharToMultiByteFault{"WideCharToMultiByte"};

extern "C" int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                                          LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                                          LPBOOL lpUsedDefaultChar) {
  if (kWideCharToMultiByteFault.Fails()) return 0;
  const char* name = IconvName(CodePage);
  if (!name) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 || (cbMultiByte > 0 && !lpMultiByteStr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (CodePage == CP_UTF8 && (dwFlags != 0 || lpDefaultChar || lpUsedDefaultChar)) return Fail(ERROR_INVALID_PARAMETER);
  const size_t units = MeasuredLength(lpWideCharStr, cchWideChar);
  if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
  bool replaced = false;
  const std::string bytes =
      Convert(name, "UTF-16LE", reinterpret_cast<const char*>(lpWideCharStr), units * sizeof(WCHAR), sizeof(WCHAR),
              CodePage == CP_UTF8 ? "\xEF\xBF\xBD" : (lpDefaultChar ? std::string(1, *lpDefaultChar) : "?"), &replaced);
  if (lpUsedDefaultChar) *lpUsedDefaultChar = replaced ? TRUE : FALSE;
  if (cbMultiByte == 0) return static_cast<int>(bytes.size());
  if (bytes.size() > static_cast<size_t>(cbMultiByte)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  bytes.copy(lpMultiByteStr, bytes.size());
  return static_cast<int>(bytes.size());
}

const standin::detail::FaultPoint kMultiByteToWideCharFault{"MultiByteToWideChar"};

extern "C" int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                                          LPWSTR lpWideCharStr, int cchWideChar) {
  if (kMultiByteToWideCharFault.Fails()) return 0;
  const char* name = IconvName(CodePage);
  if (!name) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 || (cchWideChar > 0 && !lpWideCharStr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (dwFlags != 0) return Fail(ERROR_INVALID_FLAGS);
  const size_t length = MeasuredLength(lpMultiByteStr, cbMultiByte);
  const std::string wide = Convert("UTF-16LE", name, lpMultiByteStr, length, 1, std::string("\xFD\xFF", 2), nullptr);
  const size_t units = wide.size() / sizeof(WCHAR);
  if (cchWideChar == 0) return static_cast<int>(units);
  if (units > static_cast<size_t>(cchWideChar)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  wide.copy(reinterpret_cast<char*>(lpWideCharStr), wide.size());
  return static_cast<int>(units);
}

#include "text_encoding.h"

#include <cstdint>

namespace {

// Windows-1252's 0x80 to 0x9F; its five unassigned bytes map to the C1
// controls of the same number, as Windows maps them.
constexpr char32_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The character that starts at `at` and how many bytes it takes; false for
// a byte that starts no well-formed character, read as U+FFFD of length 1.
bool DecodeUtf8(const std::string& bytes, size_t at, char32_t* code, size_t* length) {
  const auto lead = static_cast<uint8_t>(bytes[at]);
  *length = 1;
  *code = kReplacement;
  if (lead < 0x80) {
    *code = lead;
    return true;
  }
  const size_t size = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (size == 0 || at + size > bytes.size()) return false;
  char32_t decoded = lead & (0x7F >> size);
  for (size_t k = 1; k < size; ++k) {
    const auto next = static_cast<uint8_t>(bytes[at + k]);
    if ((next & 0xC0) != 0x80) return false;
    decoded = decoded << 6 | (next & 0x3F);
  }
  const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (decoded < smallest[size] || decoded > 0x10FFFF || (decoded >= 0xD800 && decoded <= 0xDFFF)) return false;
  *code = decoded;
  *length = size;
  return true;
}

char Windows1252Byte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (int i = 0; i < 32; ++i)
    if (kWindows1252High[i] == code) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

bool IsUtf8(const std::string& bytes) {
  char32_t code = 0;
  for (size_t at = 0, length = 0; at < bytes.size(); at += length)
    if (!DecodeUtf8(bytes, at, &code, &length)) return false;
  return true;
}

std::string ShownText(const std::string& hostBytes, TextEncoding encoding) {
  std::string shown;
  if (encoding == TextEncoding::kWindows1252) {
    for (char c : hostBytes) {
      const auto byte = static_cast<uint8_t>(c);
      AppendUtf8(shown, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
    }
    return shown;
  }
  char32_t code = 0;
  for (size_t at = 0, length = 0; at < hostBytes.size(); at += length) {
    DecodeUtf8(hostBytes, at, &code, &length);
    AppendUtf8(shown, code);
  }
  return shown;
}

std::string HostText(const std::string& utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::kUtf8) return utf8;
  std::string bytes;
  char32_t code = 0;
  for (size_t at = 0, length = 0; at < utf8.size(); at += length) {
    DecodeUtf8(utf8, at, &code, &length);
    bytes += Windows1252Byte(code);
  }
  return bytes;
}

std::string Utf8FromUtf16(LPCWSTR text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return "";
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the terminator
  return bytes;
}

std::u16string Utf16FromUtf8(const std::string& text) {
  const int length = static_cast<int>(text.size());
  const int units = length ? MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0) : 0;
  std::u16string wide(static_cast<size_t>(units > 0 ? units : 0), u'\0');
  if (units > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, reinterpret_cast<LPWSTR>(wide.data()), units);
  return wide;
}

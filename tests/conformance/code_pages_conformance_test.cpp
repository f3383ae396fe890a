// How Windows converts between UTF-16 and the byte encodings Director speaks
// (UTF-8 from Director 11, the ANSI code page before), checked against Wine
// and the stand-in alike.
#include <string>

#include "windows_api.h"
#include "wine_devices.h"

namespace {

using CodePages = WindowsApi;

// "Pad é €": é is in Windows-1252 and Latin-1, € only in Windows-1252.
// (Spelled as units: WCHAR is wchar_t on Windows, char16_t in the stand-in.)
const WCHAR kPad[] = {'P', 'a', 'd', ' ', 0x00E9, ' ', 0x20AC, 0};
const WCHAR kHan[] = {0x4E2D, 0};

bool SameUnits(const WCHAR* a, const WCHAR* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

std::string ToBytes(UINT codePage, const WCHAR* text, int units = -1) {
  char bytes[64] = {};
  const int written = WideCharToMultiByte(codePage, 0, text, units, bytes, sizeof bytes, nullptr, nullptr);
  return written > 0 ? std::string(bytes, static_cast<size_t>(written)) : "<failed>";
}

TEST_F(CodePages, Utf8AndWindows1252SpellTheSameTextDifferently) {
  EXPECT_EQ(ToBytes(CP_UTF8, kPad), std::string("Pad \xC3\xA9 \xE2\x82\xAC", 10) + '\0') << "-1 counts the terminator";
  EXPECT_EQ(ToBytes(1252, kPad, 7), "Pad \xE9 \x80") << "an explicit length converts no terminator";
  EXPECT_EQ(ToBytes(CP_UTF8, kHan), std::string("\xE4\xB8\xAD") + '\0');
  EXPECT_EQ(ToBytes(1252, kHan, 1), "?") << "what the code page lacks becomes '?'";
}

TEST_F(CodePages, SizeQueriesAndShortBuffersAnswerLikeWindows) {
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, kPad, -1, nullptr, 0, nullptr, nullptr), 11);
  char bytes[4];
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, kPad, -1, bytes, sizeof bytes, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(CodePages, BytesComeBackToTheSameUnits) {
  WCHAR wide[16] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "Pad \xC3\xA9 \xE2\x82\xAC", -1, wide, 16), 8);
  EXPECT_TRUE(SameUnits(wide, kPad));
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "Pad \xE9 \x80", -1, wide, 16), 8);
  EXPECT_TRUE(SameUnits(wide, kPad));
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "Pad", -1, wide, 3), 0) << "no room for the terminator";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

}  // namespace

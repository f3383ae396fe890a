// Texts handed to Director follow its version: UTF-8 from Director 11, the
// ANSI code page before; they are cut only between whole characters.
#include <gtest/gtest.h>

#include <string>

#include "values/host_text.h"

namespace {

// A Director that answers only the product version.
class VersionOnlyHost final : public IMoaCallback, public IMoaAppInfo {
 public:
  explicit VersionOnlyHost(const char* version) : version_(version) {}

  MoaError MOA_CALL QueryInterface(const MoaID* iid, void** out) override {
    if (!SameMoaID(*iid, IID_IMoaAppInfo)) return kMoaErr_BadInterface;
    *out = static_cast<IMoaAppInfo*>(this);
    return kMoaErr_NoErr;
  }
  MoaUlong MOA_CALL AddRef() override { return 1; }
  MoaUlong MOA_CALL Release() override { return 1; }
  MoaError MOA_CALL GetInfo(MoaLong what, char* buffer, MoaLong size) override {
    if (what != kMoaAppInfo_ProductVersion || !version_) return static_cast<MoaError>(0x80040013u);
    if (static_cast<MoaLong>(std::string(version_).size()) >= size) return kMoaErr_OutOfMem;
    std::string(version_).copy(buffer, std::string::npos);
    buffer[std::string(version_).size()] = '\0';
    return kMoaErr_NoErr;
  }

 private:
  const char* version_;
};

class HostText : public testing::Test {
 protected:
  void TearDown() override { Speak("11.5"); }
  static void Speak(const char* version) {
    VersionOnlyHost host(version);
    LearnHostEncoding(&host);
  }
  static std::string Converted(const WCHAR* wide, size_t size = 64) {
    char text[64];
    WideToHostText(wide, text, size);
    return text;
  }
};

const WCHAR kPad[] = u"Pad \u00E9 \u20AC";

TEST_F(HostText, EncodingFollowsDirectorsVersion) {
  Speak("11.5");
  EXPECT_EQ(Converted(kPad), "Pad \xC3\xA9 \xE2\x82\xAC");
  Speak("10.1");
  EXPECT_EQ(HostCodePage(), CP_ACP);
  EXPECT_EQ(Converted(kPad), "Pad \xE9 \x80") << "Windows-1252";
  EXPECT_EQ(Converted(u"\u4E2D"), "?");
  Speak("12.0");
  EXPECT_EQ(HostCodePage(), CP_UTF8);
  Speak("8.5");
  Speak(nullptr);
  EXPECT_EQ(HostCodePage(), CP_ACP) << "a Director that does not say keeps what was learnt";
  Speak("Director");
  EXPECT_EQ(HostCodePage(), CP_ACP) << "nor does a version without a number change it";
}

TEST_F(HostText, TextsAreCutBetweenWholeCharacters) {
  EXPECT_EQ(Converted(kPad, 7), "Pad \xC3\xA9") << "six bytes and the terminator";
  EXPECT_EQ(Converted(kPad, 6), "Pad ") << "half an e-acute is left out";
  EXPECT_EQ(Converted(kPad, 9), "Pad \xC3\xA9 ") << "so is two thirds of a euro sign";
  EXPECT_EQ(Converted(u"a\U0001F600b", 5), "a") << "a surrogate pair is not split";
  EXPECT_EQ(Converted(u"a\U0001F600b", 6), "a\xF0\x9F\x98\x80");
  EXPECT_EQ(Converted(u"", 8), "");
  EXPECT_EQ(Converted(kPad, 1), "");
}

TEST_F(HostText, HostTextComesBackAsUtf16) {
  WCHAR wide[16];
  EXPECT_TRUE(HostTextToWide("Pad \xC3\xA9 \xE2\x82\xAC", wide, 16));
  EXPECT_EQ(std::u16string(wide), std::u16string(kPad));
  Speak("10.1");
  EXPECT_TRUE(HostTextToWide("Pad \xE9 \x80", wide, 16));
  EXPECT_EQ(std::u16string(wide), std::u16string(kPad));
  EXPECT_FALSE(HostTextToWide("too long for four", wide, 4));
  EXPECT_EQ(wide[0], 0) << "and empty, not cut";
}

}  // namespace

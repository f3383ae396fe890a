// hid.dll's data functions: what they read from and write into a report by
// usage, and the status each answers at its edges.
#include <array>
#include <vector>

#include "descriptor_items.h"
#include "standin_fixture.h"

// Lets lists of usages be compared whole.
static bool operator==(const USAGE_AND_PAGE& a, const USAGE_AND_PAGE& b) {
  return a.Usage == b.Usage && a.UsagePage == b.UsagePage;
}

namespace {

using namespace items;

// Report 1: buttons 1 to 3 and 5 bits of padding, X from -127 to 127, a hat
// of 0 to 7 with a null state and 4 bits of padding. Report 2: two key slots
// (usages 0 to 0x65) and a 3-byte vendor value array. Output report 3: two
// LEDs and 6 bits of padding.
Bytes Gamepad() {
  return Descriptor({UsagePage(0x01), Usage(0x05), Application(), ReportId(1), UsagePage(0x09), UsageMinimum(1),
                     UsageMaximum(3), LogicalMinimum(0), LogicalMaximum(1), ReportSize(1), ReportCount(3),
                     Input(kVariable), ReportCount(5), Input(kConstant), UsagePage(0x01), Usage(0x30),
                     LogicalMinimum(0x81), LogicalMaximum(0x7F), ReportSize(8), ReportCount(1), Input(kVariable),
                     Usage(0x39), LogicalMinimum(0), LogicalMaximum(7), ReportSize(4), Input(kVariable | kNullState),
                     Input(kConstant), ReportId(2), UsagePage(0x07), UsageMinimum(0), UsageMaximum(0x65),
                     LogicalMaximum(0x65), ReportSize(8), ReportCount(2), Input(kArray), UsagePage(0xFF00, 2),
                     Usage(0x01), LogicalMaximum(0xFF, 2), ReportCount(3), Input(kVariable), ReportId(3),
                     UsagePage(0x08), UsageMinimum(1), UsageMaximum(2), LogicalMaximum(1), ReportSize(1),
                     ReportCount(2), Output(kVariable), ReportCount(6), Output(kConstant), EndCollection()});
}

constexpr ULONG kInputLength = 6;  // ID, two key slots, three vendor bytes
constexpr ULONG kOutputLength = 2;

class ReportData : public OpenDeviceTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    standin::DeviceSpec spec = Board();
    spec.reportDescriptor = Gamepad();
    PlugAndOpen(spec);
    ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  }
  void TearDown() override {
    HidD_FreePreparsedData(preparsed);
    OpenDeviceTest::TearDown();
  }
  std::vector<USAGE_AND_PAGE> UsagesOn(std::vector<std::uint8_t> report, NTSTATUS expected = HIDP_STATUS_SUCCESS) {
    std::array<USAGE_AND_PAGE, 8> on{};
    ULONG length = on.size();
    EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, 0, on.data(), &length, preparsed, Chars(report), kInputLength), expected);
    return {on.begin(), on.begin() + std::min<ULONG>(length, on.size())};
  }
  static PCHAR Chars(std::vector<std::uint8_t>& report) { return reinterpret_cast<PCHAR>(report.data()); }
  PHIDP_PREPARSED_DATA preparsed = nullptr;
};

TEST_F(ReportData, ButtonsOnAreVariableBitsAndTheUsagesArraySlotsHold) {
  EXPECT_EQ(UsagesOn({1, 0b101, 0, 0, 0, 0}), (std::vector<USAGE_AND_PAGE>{{1, 9}, {3, 9}}));
  // Slot value 0 is usage 0, which stands for no key.
  EXPECT_EQ(UsagesOn({2, 0x04, 0x00, 0, 0, 0}), (std::vector<USAGE_AND_PAGE>{{0x04, 7}}));
  EXPECT_EQ(UsagesOn({2, 0x28, 0x65, 0, 0, 0}), (std::vector<USAGE_AND_PAGE>{{0x28, 7}, {0x65, 7}}));
  EXPECT_TRUE(UsagesOn({2, 0x66, 0xFF, 0, 0, 0}).empty()) << "values past the logical maximum hold no usage";
}

TEST_F(ReportData, UsageListsSayWhatTheyCouldNotHoldAndWhereTheButtonsAre) {
  std::vector<std::uint8_t> report{1, 0b111, 0, 0, 0, 0};
  std::array<USAGE_AND_PAGE, 2> on{};
  ULONG length = on.size();
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, 0, on.data(), &length, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, 3u);
  length = on.size();
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, 0, on.data(), &length, preparsed, Chars(report), kInputLength - 1),
            HIDP_STATUS_INVALID_REPORT_LENGTH);
  length = on.size();
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, 5, on.data(), &length, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_USAGE_NOT_FOUND)
      << "no link collection 5";
  std::vector<std::uint8_t> output{3, 0};
  length = on.size();
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Output, 0, on.data(), &length, preparsed, Chars(output), kOutputLength),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Input, 0, preparsed), 5u) << "three buttons and two key slots";
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Input, 0x07, preparsed), 2u);
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Feature, 0, preparsed), 0u);
  EXPECT_EQ(HidP_MaxUsageListLength(HidP_Input, 0, nullptr), 0u);
}

TEST_F(ReportData, ValuesReadAsTheirBitsAndOnlyInTheirOwnReport) {
  std::vector<std::uint8_t> report{1, 0, 0xFB, 0x0F, 0, 0};
  ULONG value = 0;
  EXPECT_EQ(HidP_GetUsageValue(HidP_Input, 0x01, 0, 0x30, &value, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(value, 0xFBu) << "unsigned and unscaled: -5 is its 8 bits";
  EXPECT_EQ(HidP_GetUsageValue(HidP_Input, 0x01, 0, 0x39, &value, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(value, 0x0Fu);
  EXPECT_EQ(HidP_GetUsageValue(HidP_Input, 0x01, 0, 0x31, &value, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_USAGE_NOT_FOUND);
  EXPECT_EQ(HidP_GetUsageValue(HidP_Input, 0xFF00, 0, 0x01, &value, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_INCOMPATIBLE_REPORT_ID);
  report[0] = 7;
  EXPECT_EQ(HidP_GetUsageValue(HidP_Input, 0x01, 0, 0x30, &value, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_INCOMPATIBLE_REPORT_ID);
  EXPECT_EQ(HidP_GetUsageValue(static_cast<HIDP_REPORT_TYPE>(3), 0x01, 0, 0x30, &value, preparsed, Chars(report),
                               kInputLength),
            HIDP_STATUS_INVALID_REPORT_TYPE);
}

TEST_F(ReportData, AValueArrayComesWholeOrNotAtAll) {
  std::vector<std::uint8_t> report{2, 0, 0, 0xAA, 0xBB, 0xCC};
  ULONG value = 0;
  EXPECT_EQ(HidP_GetUsageValue(HidP_Input, 0xFF00, 0, 0x01, &value, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_IS_VALUE_ARRAY);
  std::array<char, 3> fields{};
  EXPECT_EQ(HidP_GetUsageValueArray(HidP_Input, 0xFF00, 0, 0x01, fields.data(), 2, preparsed, Chars(report),
                                    kInputLength),
            HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(HidP_GetUsageValueArray(HidP_Input, 0xFF00, 0, 0x01, fields.data(), 3, preparsed, Chars(report),
                                    kInputLength),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(static_cast<std::uint8_t>(fields[0]), 0xAA);
  EXPECT_EQ(static_cast<std::uint8_t>(fields[2]), 0xCC);
  report[0] = 1;
  EXPECT_EQ(HidP_GetUsageValueArray(HidP_Input, 0x01, 0, 0x30, fields.data(), 3, preparsed, Chars(report),
                                    kInputLength),
            HIDP_STATUS_NOT_VALUE_ARRAY);
}

TEST_F(ReportData, AnInitialisedReportHoldsItsIdZerosAndNullValues) {
  std::vector<std::uint8_t> report(kInputLength, 0xEE);
  EXPECT_EQ(HidP_InitializeReportForID(HidP_Input, 1, preparsed, Chars(report), kInputLength), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(report, (std::vector<std::uint8_t>{1, 0, 0, 0x08, 0, 0})) << "the hat rests at 8, past its maximum";
  EXPECT_EQ(HidP_InitializeReportForID(HidP_Input, 4, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_REPORT_DOES_NOT_EXIST);
  EXPECT_EQ(HidP_InitializeReportForID(HidP_Output, 3, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_INVALID_REPORT_LENGTH);
  EXPECT_EQ(HidP_InitializeReportForID(HidP_Input, 1, reinterpret_cast<PHIDP_PREPARSED_DATA>(file), Chars(report),
                                       kInputLength),
            HIDP_STATUS_INVALID_PREPARSED_DATA);
}

TEST_F(ReportData, ButtonsAndValuesSetAreWhatIsReadBack) {
  std::vector<std::uint8_t> report(kInputLength);
  ASSERT_EQ(HidP_InitializeReportForID(HidP_Input, 1, preparsed, Chars(report), kInputLength), HIDP_STATUS_SUCCESS);
  std::array<USAGE, 2> buttons{3, 1};
  ULONG count = buttons.size();
  EXPECT_EQ(HidP_SetUsages(HidP_Input, 0x09, 0, buttons.data(), &count, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(HidP_SetUsageValue(HidP_Input, 0x01, 0, 0x30, static_cast<ULONG>(-100), preparsed, Chars(report),
                               kInputLength),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(report, (std::vector<std::uint8_t>{1, 0b101, 0x9C, 0x08, 0, 0}));
  count = 1;
  EXPECT_EQ(HidP_UnsetUsages(HidP_Input, 0x09, 0, buttons.data(), &count, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(UsagesOn(report), (std::vector<USAGE_AND_PAGE>{{1, 9}}));
}

TEST_F(ReportData, AnArrayTakesUsagesUntilItsSlotsAreFull) {
  std::vector<std::uint8_t> report(kInputLength);
  ASSERT_EQ(HidP_InitializeReportForID(HidP_Input, 2, preparsed, Chars(report), kInputLength), HIDP_STATUS_SUCCESS);
  std::array<USAGE, 4> keys{0x04, 0x04, 0x28, 0x29};
  ULONG count = keys.size();
  EXPECT_EQ(HidP_SetUsages(HidP_Input, 0x07, 0, keys.data(), &count, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_BUFFER_TOO_SMALL)
      << "a usage held already takes no second slot";
  EXPECT_EQ(count, 3u) << "the index of the usage that found no slot";
  EXPECT_EQ(UsagesOn(report), (std::vector<USAGE_AND_PAGE>{{0x04, 7}, {0x28, 7}}));
  std::array<USAGE, 2> released{0x04, 0x29};
  count = released.size();
  EXPECT_EQ(HidP_UnsetUsages(HidP_Input, 0x07, 0, released.data(), &count, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_BUTTON_NOT_PRESSED);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(UsagesOn(report), (std::vector<USAGE_AND_PAGE>{{0x28, 7}}));
  std::array<USAGE, 1> beyond{0x66};
  count = 1;
  EXPECT_EQ(HidP_SetUsages(HidP_Input, 0x07, 0, beyond.data(), &count, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_USAGE_NOT_FOUND);
}

TEST_F(ReportData, SettersRefuseAReportOfAnotherIdOrOneTheKindLacks) {
  std::vector<std::uint8_t> report{2, 0, 0, 0, 0, 0};
  std::array<USAGE, 1> button{1};
  ULONG count = 1;
  EXPECT_EQ(HidP_SetUsages(HidP_Input, 0x09, 0, button.data(), &count, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_INCOMPATIBLE_REPORT_ID);
  EXPECT_EQ(count, 0u);
  report[0] = 9;
  EXPECT_EQ(HidP_SetUsageValue(HidP_Input, 0x01, 0, 0x30, 1, preparsed, Chars(report), kInputLength),
            HIDP_STATUS_REPORT_DOES_NOT_EXIST);
  std::vector<std::uint8_t> output{3, 0};
  count = 1;
  EXPECT_EQ(HidP_SetUsages(HidP_Output, 0x08, 0, button.data(), &count, preparsed, Chars(output), kOutputLength),
            HIDP_STATUS_SUCCESS);
  EXPECT_EQ(output, (std::vector<std::uint8_t>{3, 1}));
}

TEST_F(ReportData, ACollectionPluggedFromCapsAloneHasNoControlsToReach) {
  standin::DeviceSpec spec = Board(0x0200);
  const standin::DeviceId plain = standin::PlugDevice(spec);
  HANDLE plainFile = Open(plain);
  PHIDP_PREPARSED_DATA plainData = nullptr;
  ASSERT_TRUE(HidD_GetPreparsedData(plainFile, &plainData));
  std::vector<std::uint8_t> report(8);
  EXPECT_EQ(HidP_InitializeReportForID(HidP_Input, 0, plainData, Chars(report), 8), HIDP_STATUS_NOT_IMPLEMENTED);
  HidD_FreePreparsedData(plainData);
  CloseHandle(plainFile);
}

}  // namespace

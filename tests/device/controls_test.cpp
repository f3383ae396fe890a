// Controls by name over the stand-in's hid.dll: which controls a collection
// lists and in what order, how they are named, what a report decodes to and
// which values a composed report refuses.
#include <utility>
#include <vector>

#include "../standin/descriptor_items.h"
#include "controls/usage_names.h"
#include "device_on_bus.h"

namespace {

using namespace items;

TEST(UsageNames, CommonPagesByNameCountedUsagesByPlaceOthersInHex) {
  EXPECT_EQ(UsageName(0x01, 0x30), "X");
  EXPECT_EQ(UsageName(0x01, 0x39), "HatSwitch");
  EXPECT_EQ(UsageName(0x02, 0xBB), "Throttle");
  EXPECT_EQ(UsageName(0x09, 12), "Button12");
  EXPECT_EQ(UsageName(0x07, 0x04), "KeyA");
  EXPECT_EQ(UsageName(0x07, 0x1E), "Key1");
  EXPECT_EQ(UsageName(0x07, 0x27), "Key0");
  EXPECT_EQ(UsageName(0x07, 0x45), "KeyF12");
  EXPECT_EQ(UsageName(0x07, 0x69), "KeyF14");
  EXPECT_EQ(UsageName(0x08, 0x4B), "LEDGenericIndicator");
  EXPECT_EQ(UsageName(0x0C, 0xE9), "VolumeIncrement");
  EXPECT_EQ(UsageName(0x0D, 0x42), "TipSwitch");
  EXPECT_EQ(UsageName(0x09, 0), "U_0009_0000") << "no button is button 0";
  EXPECT_EQ(UsageName(0xFF00, 0x01), "U_FF00_0001");
  EXPECT_EQ(UsageName(0x01, 0xFFFF), "U_0001_FFFF");
  EXPECT_EQ(PageName(0x07), "Keyboard");
  EXPECT_EQ(PageName(0x0C), "Consumer");
  EXPECT_EQ(PageName(0xFF60), "U_FF60");
}

// Report 1: X and Y declared in one item, a Z in each of two physical
// collections, a second Z beside the first, a hat with a null state and a
// key array of keyboard and consumer usages. Output report 2: two LEDs and a
// value; output report 3: one more LED. Feature report 4: a level and a lamp.
Bytes Console() {
  return Descriptor({UsagePage(0x01), Usage(0x05), Application(), ReportId(1), Usage(0x30), Usage(0x31),
                     LogicalMinimum(0x81), LogicalMaximum(0x7F), ReportSize(8), ReportCount(2), Input(kVariable),
                     Usage(0x01), Collection(0x00), Usage(0x32), ReportCount(1), Input(kVariable), Usage(0x32),
                     Input(kVariable), EndCollection(), Usage(0x01), Collection(0x00), Usage(0x32), Input(kVariable),
                     EndCollection(), Usage(0x39), LogicalMinimum(0), LogicalMaximum(7), ReportSize(4),
                     Input(kVariable | kNullState), Input(kConstant), UsagePage(0x07), UsageMinimum(0x04),
                     UsageMaximum(0x05), Usage(0x000C00E9, 4), LogicalMinimum(1), LogicalMaximum(3), ReportSize(8),
                     ReportCount(2), Input(kArray), ReportId(2), UsagePage(0x08), UsageMinimum(1), UsageMaximum(2),
                     LogicalMinimum(0), LogicalMaximum(1), ReportSize(1), ReportCount(2), Output(kVariable),
                     ReportCount(6), Output(kConstant), UsagePage(0xFF00, 2), Usage(0x01), LogicalMaximum(100),
                     ReportSize(8), ReportCount(1), Output(kVariable), ReportId(3), UsagePage(0x08), Usage(0x03),
                     LogicalMaximum(1), ReportSize(8), Output(kVariable), ReportId(4), UsagePage(0xFF00, 2),
                     Usage(0x10), LogicalMaximum(100), Feature(kVariable), UsagePage(0x08), Usage(0x4B),
                     LogicalMaximum(1), Feature(kVariable), EndCollection()});
}

// The pad plugged from a descriptor of the test's own and opened; more
// devices of other product ids plugged and opened as a test needs them.
class DescribedDevice : public DeviceOnBus {
 protected:
  explicit DescribedDevice(Bytes descriptor) : descriptor_(std::move(descriptor)) {}
  void SetUp() override {
    DeviceOnBus::SetUp();
    board = Plug(descriptor_, kPadProductId);
    ASSERT_FALSE(device.OpenByID(kPadVendorId, kPadProductId).isError);
  }
  UsbClassPC& PlugAndOpen(const Bytes& descriptor, uint16_t productId) {
    Plug(descriptor, productId);
    UsbClassPC& object = NewObject();
    EXPECT_FALSE(object.OpenByID(kPadVendorId, productId).isError);
    return object;
  }
  standin::DeviceId board = 0;
  UsbClassPC& device = NewObject();

 private:
  static standin::DeviceId Plug(const Bytes& descriptor, uint16_t productId) {
    standin::DeviceSpec spec = Pad(u"described");
    spec.productId = productId;
    spec.reportDescriptor = descriptor;
    return standin::PlugDevice(spec);
  }
  Bytes descriptor_;
};

class Controls : public DescribedDevice {
 protected:
  Controls() : DescribedDevice(Console()) {}
  std::vector<std::string> Names(ControlKind kind) {
    std::vector<Control> controls;
    EXPECT_FALSE(device.ListControls(kind, controls).isError);
    std::vector<std::string> names;
    for (const Control& control : controls) names.push_back(control.name);
    return names;
  }
  std::string Error(const XtraResult& result) { return result.isError ? result.message : "Ok"; }
};

TEST_F(Controls, AreListedInReportOrderWithRepeatedNamesNumbered) {
  EXPECT_EQ(Names(ControlKind::Input),
            (std::vector<std::string>{"X", "Y", "Z", "Z_2", "Z_3", "HatSwitch", "Keyboard"}));
  EXPECT_EQ(Names(ControlKind::Output),
            (std::vector<std::string>{"LEDNumLock", "LEDCapsLock", "U_FF00_0001", "LEDScrollLock"}));
  std::vector<Control> inputs;
  device.ListControls(ControlKind::Input, inputs);
  const Control& keys = inputs.back();
  EXPECT_EQ(keys.type, ControlType::Array);
  EXPECT_EQ(keys.count, 2);
  ASSERT_EQ(keys.arrayUsages.size(), 2u) << "both usage entries of the one array field";
  EXPECT_EQ(keys.arrayUsages[0].page, 0x07);
  EXPECT_EQ(keys.arrayUsages[1].page, 0x0C);
  EXPECT_TRUE(inputs[2].reachable);
  EXPECT_FALSE(inputs[3].reachable) << "Windows finds the first Z of a link collection for both";
  EXPECT_EQ(inputs[4].collection, 2);
}

TEST_F(Controls, DecodeToLogicalValuesNullStatesAndTheUsagesAnArrayHolds) {
  // X -5, Y 7, Z 1, Z 2, Z 3, hat at rest (8), keys: KeyB and the consumer's
  // volume up.
  const uint8_t report[] = {1, 0xFB, 0x07, 1, 2, 3, 0x08, 2, 3};
  DecodedReport decoded;
  ASSERT_FALSE(device.DecodeReport(ControlKind::Input, report, sizeof report, decoded).isError);
  ASSERT_EQ(decoded.controls.size(), 6u) << "the unreachable Z is left out";
  EXPECT_EQ(decoded.controls[0].number, -5);
  EXPECT_EQ(decoded.controls[1].number, 7);
  EXPECT_EQ(decoded.controls[3].control->name, "Z_3");
  EXPECT_EQ(decoded.controls[3].number, 3);
  EXPECT_EQ(decoded.controls[4].shape, DecodedControl::Shape::Null);
  EXPECT_EQ(decoded.controls[5].usages, (std::vector<std::string>{"KeyB", "VolumeIncrement"}));
  const uint8_t moving[] = {1, 0, 0, 0, 0, 0, 0x03, 0, 0};
  ASSERT_FALSE(device.DecodeReport(ControlKind::Input, moving, sizeof moving, decoded).isError);
  EXPECT_EQ(decoded.controls[4].shape, DecodedControl::Shape::Number);
  EXPECT_EQ(decoded.controls[4].number, 3);
  EXPECT_TRUE(decoded.controls[5].usages.empty());
}

// Wine 8 may read more usages on than HidP_MaxUsageListLength allowed for,
// and asks for more room; a list that never fits ends the decoding.
TEST_F(Controls, AListOfUsagesThatNeedsMoreRoomIsReadAgainWithMore) {
  const uint8_t report[] = {1, 0, 0, 0, 0, 0, 0x08, 2, 3};
  DecodedReport decoded;
  standin::FailNext("HidP_GetUsagesEx", static_cast<uint32_t>(HIDP_STATUS_BUFFER_TOO_SMALL));
  ASSERT_FALSE(device.DecodeReport(ControlKind::Input, report, sizeof report, decoded).isError);
  EXPECT_EQ(decoded.controls.back().usages, (std::vector<std::string>{"KeyB", "VolumeIncrement"}));
  standin::FailNext("HidP_GetUsagesEx", static_cast<uint32_t>(HIDP_STATUS_BUFFER_TOO_SMALL), 0, 1000);
  EXPECT_EQ(Error(device.DecodeReport(ControlKind::Input, report, sizeof report, decoded)),
            "Could not read the report's buttons: HIDP_STATUS_BUFFER_TOO_SMALL");
  EXPECT_FALSE(standin::PendingFaults().empty()) << "asked again a bounded number of times";
  standin::ClearFaults();
}

TEST_F(Controls, AReportOfAnotherLengthOrIdIsRefusedSayingWhy) {
  DecodedReport decoded;
  const uint8_t shorter[] = {1, 0, 0};
  EXPECT_EQ(Error(device.DecodeReport(ControlKind::Input, shorter, sizeof shorter, decoded)),
            "The report holds 3 bytes; input reports of this device hold 9");
  const uint8_t stranger[] = {7, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Error(device.DecodeReport(ControlKind::Input, stranger, sizeof stranger, decoded)),
            "The device has no input report with ID 7");
  EXPECT_EQ(Error(device.DecodeReport(ControlKind::Feature, stranger, 0, decoded)),
            "The report holds 0 bytes; feature reports of this device hold 3");
}

TEST_F(Controls, AComposedReportHoldsTheNamedValuesAndNothingElse) {
  std::vector<uint8_t> report;
  std::vector<NamedValue> values(2);
  values[0].name = "ledcapslock";
  values[0].number = 1;
  values[1].name = "U_FF00_0001";
  values[1].number = 100;
  ASSERT_FALSE(device.ComposeOutputReport(values, report).isError);
  EXPECT_EQ(report, (std::vector<uint8_t>{2, 0b10, 100}));
}

TEST_F(Controls, ComposingRefusesWhatCannotBeSentAndNamesTheControl) {
  std::vector<uint8_t> report;
  const auto refusal = [&](std::vector<NamedValue> values) { return Error(device.ComposeOutputReport(values, report)); };
  EXPECT_EQ(refusal({{"LEDNumLock", false, 1, {}}, {"LEDScrollLock", false, 1, {}}}),
            "#LEDNumLock and #LEDScrollLock are in different output reports (2 and 3)");
  EXPECT_EQ(refusal({{"U_FF00_0001", false, 101, {}}}), "#U_FF00_0001 takes 0 to 100, not 101");
  EXPECT_EQ(refusal({{"LEDNumLock", false, 2, {}}}), "#LEDNumLock takes 0 or 1, not 2");
  EXPECT_EQ(refusal({{"X", false, 1, {}}}), "#X is no output control of this device");
  EXPECT_EQ(refusal({}), "Name at least one control, such as [#Button1: 1]");
  EXPECT_TRUE(report.empty()) << "nothing composed";
}

TEST_F(Controls, AFeatureReportKeepsWhatWasNotNamed) {
  ASSERT_TRUE(standin::SetFeatureContents(board, {4, 40, 1}));
  std::vector<NamedValue> values(1);
  values[0].name = "U_FF00_0010";
  values[0].number = 80;
  ASSERT_FALSE(device.SetFeatureUsages(values).isError);
  const auto received = standin::ReceivedReports(board);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].bytes, (std::vector<uint8_t>{4, 80, 1}));
  values[0].number = 101;
  EXPECT_EQ(Error(device.SetFeatureUsages(values)), "#U_FF00_0010 takes 0 to 100, not 101");
  EXPECT_EQ(standin::ReceivedReports(board).size(), 1u) << "nothing set";
}

// A descriptor may declare a range of thousands of usages: naming each would
// hold Director while Windows places it, so a range names its first 1024.
TEST_F(Controls, AHugeRangeNamesItsFirst1024Usages) {
  const Bytes usageMaximum3000 = Short(0x28, 3000, 2);
  UsbClassPC& huge = PlugAndOpen(
      Descriptor({UsagePage(0xFF00, 2), Usage(0x01), Application(), UsageMinimum(1), usageMaximum3000,
                  LogicalMinimum(0), LogicalMaximum(1), ReportSize(1), ReportCount(3000, 2), Input(kVariable),
                  EndCollection()}),
      0x0BAD);
  std::vector<Control> controls;
  ASSERT_FALSE(huge.ListControls(ControlKind::Input, controls).isError);
  ASSERT_EQ(controls.size(), 1024u);
  EXPECT_EQ(controls.back().usage, 1024);
  EXPECT_EQ(controls.back().bitOffset, 8u + 1023u) << "after the report ID byte";
}

// Windows gives a range of buttons only the usages its fields hold; Wine 8
// keeps the range whole and wrote the usages beyond the field past the
// report, which ended Director (tests/transcripts/wine/long_button_ranges).
// Report 1: 64 buttons declaring usages 1 to 1024; report 2: 64 declaring
// usages 0 to 0xFFFF.
TEST_F(Controls, AButtonRangeLongerThanItsFieldsNamesTheUsagesItHolds) {
  UsbClassPC& ranges = PlugAndOpen(
      Descriptor({UsagePage(0xFF00, 2), Usage(0x01), Application(), LogicalMinimum(0), LogicalMaximum(1),
                  ReportSize(1), ReportCount(64), ReportId(1), UsagePage(0x09), UsageMinimum(1), Short(0x28, 1024, 2),
                  Input(kVariable), ReportId(2), UsagePage(0xFF00, 2), UsageMinimum(0), Short(0x28, 0xFFFF, 2),
                  Input(kVariable), EndCollection()}),
      0x0B64);
  std::vector<Control> controls;
  ASSERT_FALSE(ranges.ListControls(ControlKind::Input, controls).isError);
  ASSERT_EQ(controls.size(), 128u);
  EXPECT_EQ(controls[63].name, "Button64");
  EXPECT_EQ(controls[63].bitOffset, 8u + 63u);
  EXPECT_EQ(controls[64].name, "U_FF00_0000");
  EXPECT_EQ(controls[127].name, "U_FF00_003F");
  EXPECT_EQ(controls[127].bitOffset, 8u + 63u);
  const uint8_t report[] = {1, 0, 0, 0, 0, 0, 0, 0, 0x80};
  DecodedReport decoded;
  ASSERT_FALSE(ranges.DecodeReport(ControlKind::Input, report, sizeof report, decoded).isError);
  ASSERT_EQ(decoded.controls.size(), 64u);
  EXPECT_EQ(decoded.controls[62].number, 0);
  EXPECT_EQ(decoded.controls[63].number, 1) << "the last button of the field";
}

// A touch screen's two fingers, each a logical collection with its tip
// switch, its in-range button and a lamp; the screen's own in-range button
// comes first, in the top-level collection.
Bytes TwoFingers() {
  const Bytes finger = Descriptor({Usage(0x22), Collection(0x02), Usage(0x42), Usage(0x32), ReportCount(2),
                                   Input(kVariable), ReportCount(6), Input(kConstant), UsagePage(0x08), Usage(0x4B),
                                   ReportCount(1), Output(kVariable), ReportCount(7), Output(kConstant),
                                   UsagePage(0x0D), EndCollection()});
  return Descriptor({UsagePage(0x0D), Usage(0x04), Application(), LogicalMinimum(0), LogicalMaximum(1),
                     ReportSize(1), Usage(0x32), ReportCount(1), Input(kVariable), ReportCount(7), Input(kConstant),
                     finger, finger, EndCollection()});
}

// Windows tells buttons of one usage apart by their link collection alone.
TEST_F(Controls, ButtonsOfOneUsageInDifferentLinkCollectionsReadAndWriteApart) {
  UsbClassPC& fingers = PlugAndOpen(TwoFingers(), 0x0F22);
  const auto read = [&](std::vector<uint8_t> report) {
    DecodedReport decoded;
    EXPECT_FALSE(fingers.DecodeReport(ControlKind::Input, report.data(), 4, decoded).isError);
    std::vector<std::string> on;
    for (const DecodedControl& control : decoded.controls)
      if (control.number == 1) on.push_back(control.control->name);
    return on;
  };
  EXPECT_EQ(read({0, 0, 0b11, 0}), (std::vector<std::string>{"TipSwitch", "InRange_2"})) << "the first finger";
  EXPECT_EQ(read({0, 1, 0, 0b01}), (std::vector<std::string>{"InRange", "TipSwitch_2"}));
  EXPECT_EQ(read({0, 0, 0, 0b10}), (std::vector<std::string>{"InRange_3"}));
  std::vector<uint8_t> report;
  ASSERT_FALSE(fingers.ComposeOutputReport({{"LEDGenericIndicator_2", false, 1, {}}}, report).isError);
  EXPECT_EQ(report, (std::vector<uint8_t>{0, 0, 1})) << "the second finger's lamp alone";
}

// Link collection 0 asks Windows for a usage in any collection: the first
// answers, and a later one of the top-level collection is out of reach.
TEST_F(Controls, ATopLevelButtonAfterOneOfItsUsageInAnotherCollectionIsListedButNotDecoded) {
  UsbClassPC& pair = PlugAndOpen(
      Descriptor({UsagePage(0x01), Usage(0x05), Application(), LogicalMaximum(1), ReportSize(1), ReportCount(1),
                  Usage(0x01), Collection(0x00), UsagePage(0x09), Usage(1), Input(kVariable), EndCollection(),
                  Usage(1), Input(kVariable), ReportCount(6), Input(kConstant), EndCollection()}),
      0x0C01);
  std::vector<Control> controls;
  ASSERT_FALSE(pair.ListControls(ControlKind::Input, controls).isError);
  ASSERT_EQ(controls.size(), 2u);
  EXPECT_TRUE(controls[0].reachable);
  EXPECT_EQ(controls[1].name, "Button1_2");
  EXPECT_FALSE(controls[1].reachable);
  const uint8_t report[] = {0, 0b10};
  DecodedReport decoded;
  ASSERT_FALSE(pair.DecodeReport(ControlKind::Input, report, sizeof report, decoded).isError);
  ASSERT_EQ(decoded.controls.size(), 1u);
  EXPECT_EQ(decoded.controls[0].number, 0) << "the physical collection's button is up";
}

// Report 1: an X of 0 to 255, a hat of 0 to 7 with a null state and three
// 4-bit vendor values under one usage. Output report 2: a lamp array of
// usages 1 to 5. Feature report 3: a vendor array of usages 0x30 to 0x33.
Bytes Edges() {
  return Descriptor({UsagePage(0x01), Usage(0x05), Application(), ReportId(1), Usage(0x30), LogicalMinimum(0),
                     LogicalMaximum(0xFF, 2), ReportSize(8), ReportCount(1), Input(kVariable), Usage(0x39),
                     LogicalMaximum(7), ReportSize(4), Input(kVariable | kNullState), UsagePage(0xFF00, 2),
                     Usage(0x20), LogicalMaximum(15), ReportCount(3), Input(kVariable), ReportId(2), UsagePage(0x08),
                     UsageMinimum(1), UsageMaximum(5), LogicalMinimum(1), LogicalMaximum(5), ReportSize(8),
                     ReportCount(2), Output(kArray), ReportId(3), UsagePage(0xFF00, 2), UsageMinimum(0x30),
                     UsageMaximum(0x33), LogicalMaximum(4), Feature(kArray), EndCollection()});
}

// Controls read and written at the edges of their ranges.
class ControlEdges : public DescribedDevice {
 protected:
  ControlEdges() : DescribedDevice(Edges()) {}
  DecodedReport Decode(std::vector<uint8_t> report) {
    DecodedReport decoded;
    const XtraResult result =
        device.DecodeReport(ControlKind::Input, report.data(), static_cast<uint32_t>(report.size()), decoded);
    EXPECT_FALSE(result.isError) << result.message;
    return decoded;
  }
};

TEST_F(ControlEdges, ValuesReadAtTheirMaximumAndAValueArrayElementByElement) {
  // X 200, hat 7, values 1, 2 and 3.
  const DecodedReport decoded = Decode({1, 200, 0x17, 0x32});
  ASSERT_EQ(decoded.controls.size(), 3u);
  EXPECT_EQ(decoded.controls[0].number, 200) << "no sign where the logical minimum is 0";
  EXPECT_EQ(decoded.controls[1].shape, DecodedControl::Shape::Number) << "7 is the hat's last position, not null";
  EXPECT_EQ(decoded.controls[1].number, 7);
  EXPECT_EQ(decoded.controls[2].numbers, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Decode({1, 0xFF, 0x08, 0}).controls[0].number, 255);
  EXPECT_EQ(Decode({1, 0xFF, 0x08, 0}).controls[1].shape, DecodedControl::Shape::Null);
}

TEST_F(ControlEdges, AnArrayTakesTheLastUsageOfItsRange) {
  std::vector<uint8_t> report;
  NamedValue lamps{"LED", true, 0, {"LEDKana"}};
  const XtraResult composed = device.ComposeOutputReport({lamps}, report);
  ASSERT_FALSE(composed.isError) << composed.message;
  EXPECT_EQ(report, (std::vector<uint8_t>{2, 5, 0}));
}

TEST_F(ControlEdges, AFeatureArraySetAgainHoldsOnlyTheNewUsage) {
  ASSERT_TRUE(standin::SetFeatureContents(board, {3, 1, 0}));  // usage 0x30
  NamedValue held{"U_FF00", true, 0, {"U_FF00_0032"}};
  ASSERT_FALSE(device.SetFeatureUsages({held}).isError);
  const auto received = standin::ReceivedReports(board);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].bytes, (std::vector<uint8_t>{3, 3, 0}));
}

TEST_F(ControlEdges, AFeatureReportThatCannotBeReadIsAnsweredAndNothingIsSet) {
  standin::FailNext("DeviceIoControl", ERROR_GEN_FAILURE);
  NamedValue held{"U_FF00", true, 0, {"U_FF00_0032"}};
  const XtraResult result = device.SetFeatureUsages({held});
  EXPECT_TRUE(result.isError);
  EXPECT_EQ(std::string(result.message),
            "Could not read feature report 3: A device attached to the system is not functioning.");
  EXPECT_TRUE(standin::ReceivedReports(board).empty()) << "nothing set";
}

TEST_F(Controls, NeedAnOpenDevice) {
  device.Close();
  std::vector<Control> controls;
  EXPECT_EQ(Error(device.ListControls(ControlKind::Input, controls)), "Device is not open");
  EXPECT_TRUE(controls.empty());
}

}  // namespace

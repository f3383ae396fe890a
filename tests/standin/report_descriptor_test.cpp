// Devices plugged from report descriptors: what Windows' HID parser makes
// of each construct at its edges, and descriptors it would not take.
#include <stdexcept>

#include "descriptor_items.h"
#include "standin_fixture.h"

namespace {

using namespace items;

// An application collection of the vendor page around `body`.
Bytes VendorCollection(std::initializer_list<Bytes> body) {
  Bytes all = Descriptor({UsagePage(0xFF00, 2), Usage(0x01), Application()});
  for (const Bytes& part : body) all.insert(all.end(), part.begin(), part.end());
  all.push_back(0xC0);
  return all;
}

class FromDescriptor : public StandinTest {
 protected:
  void Plug(const Bytes& descriptor) {
    standin::DeviceSpec spec = Board();
    spec.reportDescriptor = descriptor;
    device = standin::PlugDevice(spec);
    file = Open(device);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  }
  void TearDown() override {
    if (preparsed) HidD_FreePreparsedData(preparsed);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    StandinTest::TearDown();
  }

  HIDP_CAPS Caps() const {
    HIDP_CAPS caps{};
    EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
    return caps;
  }
  std::vector<HIDP_BUTTON_CAPS> Buttons(HIDP_REPORT_TYPE type = HidP_Input) const {
    std::vector<HIDP_BUTTON_CAPS> caps(64);
    auto length = static_cast<USHORT>(caps.size());
    HidP_GetButtonCaps(type, caps.data(), &length, preparsed);
    caps.resize(length);
    return caps;
  }
  std::vector<HIDP_VALUE_CAPS> Values(HIDP_REPORT_TYPE type = HidP_Input) const {
    std::vector<HIDP_VALUE_CAPS> caps(64);
    auto length = static_cast<USHORT>(caps.size());
    HidP_GetValueCaps(type, caps.data(), &length, preparsed);
    caps.resize(length);
    return caps;
  }
  std::vector<HIDP_LINK_COLLECTION_NODE> Nodes() const {
    std::vector<HIDP_LINK_COLLECTION_NODE> nodes(16);
    auto length = static_cast<ULONG>(nodes.size());
    EXPECT_EQ(HidP_GetLinkCollectionNodes(nodes.data(), &length, preparsed), HIDP_STATUS_SUCCESS);
    nodes.resize(length);
    return nodes;
  }

  standin::DeviceId device = 0;
  HANDLE file = INVALID_HANDLE_VALUE;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
};

TEST_F(FromDescriptor, GlobalItemsComeBackWithPopAndLongItemsArePassedOver) {
  Plug(VendorCollection({LogicalMaximum(100), ReportSize(8), ReportCount(1), Push(), LogicalMaximum(0x7FFF, 2),
                         ReportSize(16), Usage(0x10), Input(kVariable), {0xFE, 0x02, 0x10, 0xAA, 0xBB}, Pop(),
                         Usage(0x11), Input(kVariable)}));
  const auto values = Values();
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].BitSize, 16);
  EXPECT_EQ(values[0].LogicalMax, 0x7FFF);
  EXPECT_EQ(values[1].NotRange.Usage, 0x11) << "the long item neither ended nor joined an item";
  EXPECT_EQ(values[1].BitSize, 8);
  EXPECT_EQ(values[1].LogicalMax, 100);
  EXPECT_EQ(Caps().InputReportByteLength, 1 + 2 + 1);
}

TEST_F(FromDescriptor, ExtentsAreSignedByTheirOwnSize) {
  Plug(VendorCollection({ReportSize(8), ReportCount(1), LogicalMinimum(0x81), LogicalMaximum(0x7F), Usage(1),
                         Input(kVariable), LogicalMinimum(0x8000, 2), LogicalMaximum(0xFF, 2), Usage(2),
                         Input(kVariable), LogicalMinimum(0xFFFFFFFF, 4), LogicalMaximum(0xFFFF, 4), Usage(3),
                         Input(kVariable)}));
  const auto values = Values();
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].LogicalMin, -127);
  EXPECT_EQ(values[0].LogicalMax, 127);
  EXPECT_EQ(values[1].LogicalMin, -32768);
  EXPECT_EQ(values[1].LogicalMax, 255) << "two bytes FF 00 are positive";
  EXPECT_EQ(values[2].LogicalMin, -1);
  EXPECT_EQ(values[2].LogicalMax, 65535);
}

TEST_F(FromDescriptor, AVariableItemListsItsUsagesLastFirstAndTheLastTakesTheFieldsLeft) {
  Plug(VendorCollection({LogicalMaximum(1), ReportSize(1), ReportCount(6), Usage(0x20), UsageMinimum(0x30),
                         UsageMaximum(0x32), Usage(0x40), Input(kVariable), ReportCount(2), Usage(0x50), Usage(0x51),
                         Usage(0x52), Input(kVariable)}));
  const auto buttons = Buttons();
  ASSERT_EQ(buttons.size(), 5u) << "0x52 has no field left";
  EXPECT_EQ(buttons[0].NotRange.Usage, 0x40);
  EXPECT_EQ(buttons[0].ReportCount, 2) << "fields 5 and 6";
  EXPECT_EQ(buttons[0].NotRange.DataIndex, 0);
  ASSERT_TRUE(buttons[1].IsRange);
  EXPECT_EQ(buttons[1].Range.UsageMin, 0x30);
  EXPECT_EQ(buttons[1].Range.UsageMax, 0x32);
  EXPECT_EQ(buttons[1].ReportCount, 3);
  EXPECT_EQ(buttons[1].Range.DataIndexMin, 1);
  EXPECT_EQ(buttons[1].Range.DataIndexMax, 3);
  EXPECT_EQ(buttons[2].NotRange.Usage, 0x20);
  EXPECT_EQ(buttons[2].NotRange.DataIndex, 4);
  EXPECT_EQ(buttons[3].NotRange.Usage, 0x51);
  EXPECT_EQ(buttons[4].NotRange.Usage, 0x50);
  EXPECT_EQ(buttons[4].NotRange.DataIndex, 6);
  EXPECT_EQ(Caps().NumberInputDataIndices, 7);
}

// 64 buttons may declare usages 0 to 0xFFFF: more than Windows numbers
// data indices, and more than their fields.
TEST_F(FromDescriptor, ARangeLongerThanItsFieldsKeepsTheUsagesThatHaveOne) {
  Plug(VendorCollection({LogicalMaximum(1), ReportSize(1), ReportCount(64), UsageMinimum(0), Short(0x28, 0xFFFF, 2),
                         Input(kVariable), ReportCount(3), Usage(0x20), UsageMinimum(0x30), UsageMaximum(0x3F),
                         Usage(0x40), Input(kVariable)}));
  const auto buttons = Buttons();
  ASSERT_EQ(buttons.size(), 3u) << "0x40 has no field left";
  EXPECT_EQ(buttons[0].Range.UsageMin, 0);
  EXPECT_EQ(buttons[0].Range.UsageMax, 63);
  EXPECT_EQ(buttons[0].ReportCount, 64);
  EXPECT_EQ(buttons[0].Range.DataIndexMax, 63);
  EXPECT_EQ(buttons[1].Range.UsageMin, 0x30);
  EXPECT_EQ(buttons[1].Range.UsageMax, 0x31) << "the two fields left after 0x20";
  EXPECT_EQ(buttons[1].Range.DataIndexMin, 64);
  EXPECT_EQ(buttons[1].Range.DataIndexMax, 65);
  EXPECT_EQ(buttons[2].NotRange.Usage, 0x20);
  EXPECT_EQ(Caps().NumberInputDataIndices, 67);
}

TEST_F(FromDescriptor, AnArraysUsagesShareItsFieldsAndNumberTheirIndicesInTheOrderDeclared) {
  Plug(VendorCollection({LogicalMinimum(1), LogicalMaximum(3), ReportSize(2), ReportCount(2), Usage(0x82),
                         Usage(0x81), UsageMinimum(0x90), UsageMaximum(0x93), Input(kArray | kNullState)}));
  const auto buttons = Buttons();
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0].Range.UsageMin, 0x90);
  EXPECT_EQ(buttons[0].Range.DataIndexMin, 2);
  EXPECT_EQ(buttons[0].Range.DataIndexMax, 5);
  EXPECT_EQ(buttons[1].NotRange.Usage, 0x81);
  EXPECT_EQ(buttons[1].NotRange.DataIndex, 1);
  EXPECT_EQ(buttons[2].NotRange.Usage, 0x82);
  EXPECT_EQ(buttons[2].NotRange.DataIndex, 0);
  for (const auto& cap : buttons) EXPECT_EQ(cap.ReportCount, 2) << "every usage stands for both fields";
  EXPECT_TRUE(Values().empty()) << "an array is buttons whatever its size";
}

TEST_F(FromDescriptor, ADelimitedSetCountsAsItsFirstUsage) {
  Plug(VendorCollection({ReportSize(1), ReportCount(1), Delimiter(true), Usage(0x30), Usage(0x31), Delimiter(false),
                         Input(kVariable)}));
  const auto buttons = Buttons();
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0].NotRange.Usage, 0x30);
}

TEST_F(FromDescriptor, ConstantFieldsTakeRoomButOnlyAConstantVariableFeatureIsListed) {
  Plug(VendorCollection({ReportSize(1), ReportCount(3), Usage(1), Input(kVariable), ReportCount(5), Input(kConstant),
                         ReportSize(8), ReportCount(1), Usage(2), Input(kConstant | kVariable), Usage(3),
                         Output(kConstant | kVariable), Usage(4), Feature(kConstant), Usage(5),
                         Feature(kConstant | kVariable)}));
  const HIDP_CAPS caps = Caps();
  EXPECT_EQ(caps.InputReportByteLength, 1 + 1 + 1);
  EXPECT_EQ(caps.OutputReportByteLength, 1 + 1);
  EXPECT_EQ(caps.FeatureReportByteLength, 1 + 2);
  EXPECT_EQ(Buttons().size(), 1u);
  EXPECT_TRUE(Values().empty());
  EXPECT_TRUE(Values(HidP_Output).empty());
  const auto features = Values(HidP_Feature);
  ASSERT_EQ(features.size(), 1u);
  EXPECT_EQ(features[0].NotRange.Usage, 5);
  EXPECT_EQ(features[0].NotRange.DataIndex, 0) << "the constant array took no index";
}

TEST_F(FromDescriptor, EachReportIdHasItsOwnLengthAndFieldsContinueWhereTheirReportLeftOff) {
  Plug(VendorCollection({ReportSize(8), ReportId(1), ReportCount(2), Usage(1), Input(kVariable), ReportId(2),
                         ReportCount(5), Usage(2), Input(kVariable), ReportId(1), ReportCount(1), Usage(3),
                         Input(kVariable), ReportId(3), Usage(4), Feature(kVariable)}));
  EXPECT_EQ(Caps().InputReportByteLength, 1 + 5);
  EXPECT_EQ(Caps().FeatureReportByteLength, 1 + 1);
  const auto values = Values();
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[2].ReportID, 1);
  BYTE report[6] = {2};
  EXPECT_TRUE(HidD_GetInputReport(file, report, sizeof report));
  report[0] = 3;
  EXPECT_FALSE(HidD_GetInputReport(file, report, sizeof report)) << "report 3 is a feature report only";
  EXPECT_TRUE(HidD_GetFeature(file, report, sizeof report));
}

TEST_F(FromDescriptor, LinkCollectionsListTheirNewestChildFirst) {
  Plug(VendorCollection({Usage(0x10), Collection(0x02), Usage(0x11), Collection(0x00), EndCollection(), Usage(0x12),
                         Collection(0x00), ReportSize(8), ReportCount(1), Usage(0x30), Input(kVariable),
                         EndCollection(), EndCollection()}));
  const auto nodes = Nodes();
  ASSERT_EQ(nodes.size(), 4u);
  EXPECT_EQ(nodes[0].FirstChild, 1);
  EXPECT_EQ(nodes[1].NumberOfChildren, 2);
  EXPECT_EQ(nodes[1].FirstChild, 3);
  EXPECT_EQ(nodes[3].NextSibling, 2);
  EXPECT_EQ(nodes[3].Parent, 1);
  EXPECT_EQ(nodes[2].LinkUsage, 0x11);
  EXPECT_EQ(nodes[2].LinkUsagePage, 0xFF00);
  EXPECT_EQ(nodes[1].CollectionType, 2u);
  const auto values = Values();
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].LinkCollection, 3);
  EXPECT_EQ(values[0].LinkUsage, 0x12);
}

// Descriptors Windows would not take: the plug is refused and nothing
// reaches the bus.
struct Malformed {
  const char* what;
  Bytes descriptor;
};

class MalformedDescriptor : public StandinTest, public testing::WithParamInterface<Malformed> {};

TEST_P(MalformedDescriptor, IsRefusedAndPlugsNothing) {
  int arrivals = 0;
  const auto listener = standin::AddBusListener([&](const standin::BusEvent&) { ++arrivals; });
  standin::DeviceSpec spec = Board();
  spec.reportDescriptor = GetParam().descriptor;
  EXPECT_THROW(standin::PlugDevice(spec), std::invalid_argument);
  EXPECT_THROW(standin::PlugCollections(spec), std::invalid_argument);
  standin::RemoveBusListener(listener);
  EXPECT_EQ(arrivals, 0);
}

const Bytes kField = Descriptor({ReportSize(8), ReportCount(1), Usage(1), Input(kVariable)});

INSTANTIATE_TEST_SUITE_P(
    Refused, MalformedDescriptor,
    testing::Values(
        Malformed{"ItemCutOff", Descriptor({VendorCollection({}), {0x26, 0xFF}})},
        Malformed{"LongItemCutOff", Descriptor({VendorCollection({}), {0xFE, 0x05, 0x00, 0x01}})},
        Malformed{"CollectionNeverClosed", Descriptor({UsagePage(1), Usage(2), Application(), kField})},
        Malformed{"EndWithoutCollection", Descriptor({VendorCollection({}), EndCollection()})},
        Malformed{"FieldOutsideACollection", Descriptor({kField, VendorCollection({})})},
        Malformed{"NoCollection", Descriptor({UsagePage(1), Usage(2)})},
        Malformed{"PopWithoutPush", VendorCollection({Pop()})},
        Malformed{"UsageMinimumAlone", VendorCollection({UsageMinimum(1), ReportSize(1), Input(kVariable)})},
        Malformed{"UsageMinimumAboveMaximum", VendorCollection({UsageMinimum(5), UsageMaximum(4)})},
        Malformed{"ReportIdZero", VendorCollection({ReportId(0), kField})},
        Malformed{"NestedDelimiters", VendorCollection({Delimiter(true), Delimiter(true)})},
        Malformed{"DelimiterLeftOpen", VendorCollection({Delimiter(true), Usage(1), kField})},
        Malformed{"ReportCountPast16Bits", VendorCollection({ReportCount(0x10000, 4), Input(kVariable)})},
        Malformed{"ReportLongerThan65535Bytes",
                  VendorCollection({ReportSize(0xFFFF, 2), ReportCount(0xFFFF, 2), Input(kVariable)})},
        Malformed{"UnnumberedDataBeforeAReportId", VendorCollection({kField, ReportId(1), kField})},
        Malformed{"TwoCollectionsWithoutIds", Descriptor({VendorCollection({kField}), VendorCollection({kField})})},
        Malformed{"TwoCollectionsSharingAnId", Descriptor({VendorCollection({ReportId(1), kField}),
                                                           VendorCollection({ReportId(1), kField})})}),
    [](const testing::TestParamInfo<Malformed>& tested) { return tested.param.what; });

class SeveralTopLevelCollections : public StandinTest {};

TEST_F(SeveralTopLevelCollections, BecomeOneDeviceEachNumberedInThePath) {
  standin::DeviceSpec spec = Board();
  spec.reportDescriptor = Descriptor({VendorCollection({ReportId(1), kField}),
                                      UsagePage(0x0C), Usage(0x01), Application(), ReportId(2), ReportSize(8),
                                      ReportCount(3), Usage(0xE9), Output(kVariable), EndCollection()});
  EXPECT_THROW(standin::PlugDevice(spec), std::invalid_argument) << "one id cannot name two devices";
  const auto devices = standin::PlugCollections(spec);
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_NE(standin::DevicePath(devices[0]).find("&col01#"), std::string::npos);
  EXPECT_NE(standin::DevicePath(devices[1]).find("&col02#"), std::string::npos);
  HANDLE file = Open(devices[1], 0);
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  HIDP_CAPS caps{};
  HidP_GetCaps(preparsed, &caps);
  EXPECT_EQ(caps.UsagePage, 0x0C);
  EXPECT_EQ(caps.InputReportByteLength, 0);
  EXPECT_EQ(caps.OutputReportByteLength, 1 + 3);
  BYTE report[4] = {2};
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, report, sizeof report, &written, nullptr));
  report[0] = 1;
  EXPECT_FALSE(HidD_SetOutputReport(file, report, sizeof report)) << "report 1 belongs to the other collection";
  HidD_FreePreparsedData(preparsed);
  CloseHandle(file);
}

}  // namespace

// HidP_Get*Caps and HidP_GetLinkCollectionNodes: what they copy, how they
// filter and which status they answer, as hid.dll does.
#include "descriptor_items.h"
#include "standin_fixture.h"

namespace {

using namespace items;

// Buttons 1 to 8 and a wheel in a physical collection, and an output
// value beside it.
Bytes Pad() {
  return Descriptor({UsagePage(0x01), Usage(0x05), Application(), Usage(0x01), Collection(0x00), UsagePage(0x09),
                     UsageMinimum(1), UsageMaximum(8), LogicalMaximum(1), ReportSize(1), ReportCount(8),
                     Input(kVariable), UsagePage(0x01), Usage(0x38), ReportSize(8), ReportCount(1),
                     Input(kVariable | kRelative), EndCollection(), Usage(0x30), Output(kVariable), UsagePage(0x09),
                     Usage(0x20), ReportSize(1), Output(kVariable), ReportCount(7), Output(kConstant),
                     EndCollection()});
}

class CapabilityQueries : public OpenDeviceTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    standin::DeviceSpec spec = Board();
    spec.reportDescriptor = Pad();
    PlugAndOpen(spec);
    ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  }
  void TearDown() override {
    HidD_FreePreparsedData(preparsed);
    OpenDeviceTest::TearDown();
  }
  PHIDP_PREPARSED_DATA preparsed = nullptr;
};

TEST_F(CapabilityQueries, AShortArrayGetsWhatFitsAndSaysSo) {
  HIDP_VALUE_CAPS values[2] = {};
  USHORT length = 1;
  EXPECT_EQ(HidP_GetValueCaps(HidP_Output, values, &length, preparsed), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(length, 1);
  HIDP_BUTTON_CAPS buttons[2] = {};
  length = 0;
  EXPECT_EQ(HidP_GetButtonCaps(HidP_Input, buttons, &length, preparsed), HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, 0);
  length = 2;
  EXPECT_EQ(HidP_GetButtonCaps(HidP_Output, buttons, &length, preparsed), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(buttons[0].NotRange.Usage, 0x20);
}

TEST_F(CapabilityQueries, AKindWithoutSuchControlsIsUsageNotFound) {
  HIDP_BUTTON_CAPS buttons[1] = {};
  USHORT length = 1;
  EXPECT_EQ(HidP_GetButtonCaps(HidP_Feature, buttons, &length, preparsed), HIDP_STATUS_USAGE_NOT_FOUND);
  EXPECT_EQ(length, 0);
  length = 1;
  EXPECT_EQ(HidP_GetButtonCaps(static_cast<HIDP_REPORT_TYPE>(3), buttons, &length, preparsed),
            HIDP_STATUS_INVALID_REPORT_TYPE);
}

TEST_F(CapabilityQueries, SpecificCapsMatchPageLinkCollectionAndAUsageInsideARange) {
  HIDP_BUTTON_CAPS buttons[2] = {};
  USHORT length = 2;
  EXPECT_EQ(HidP_GetSpecificButtonCaps(HidP_Input, 0x09, 0, 5, buttons, &length, preparsed), HIDP_STATUS_SUCCESS);
  ASSERT_EQ(length, 1);
  EXPECT_EQ(buttons[0].Range.UsageMin, 1);
  length = 2;
  EXPECT_EQ(HidP_GetSpecificButtonCaps(HidP_Input, 0x09, 0, 9, buttons, &length, preparsed),
            HIDP_STATUS_USAGE_NOT_FOUND);
  HIDP_VALUE_CAPS values[2] = {};
  length = 2;
  EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, 0x01, 1, 0x38, values, &length, preparsed), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(length, 1);
  EXPECT_FALSE(values[0].IsAbsolute);
  length = 2;
  EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Output, 0, 1, 0, values, &length, preparsed), HIDP_STATUS_USAGE_NOT_FOUND)
      << "the output value sits in the application collection, not the physical one";
}

TEST_F(CapabilityQueries, LinkCollectionNodesComeWholeOrNotAtAll) {
  HIDP_LINK_COLLECTION_NODE nodes[2] = {};
  nodes[0].LinkUsage = 0xBEEF;
  ULONG length = 1;
  EXPECT_EQ(HidP_GetLinkCollectionNodes(nodes, &length, preparsed), HIDP_STATUS_BUFFER_TOO_SMALL);
  EXPECT_EQ(length, 2u);
  EXPECT_EQ(nodes[0].LinkUsage, 0xBEEF);
  EXPECT_EQ(HidP_GetLinkCollectionNodes(nodes, &length, preparsed), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(nodes[0].LinkUsage, 0x05);
  EXPECT_EQ(nodes[1].LinkUsage, 0x01);
}

TEST_F(CapabilityQueries, FreedPreparsedDataIsInvalid) {
  PHIDP_PREPARSED_DATA freed = nullptr;
  ASSERT_TRUE(HidD_GetPreparsedData(file, &freed));
  HidD_FreePreparsedData(freed);
  HIDP_VALUE_CAPS values[1] = {};
  USHORT length = 1;
  EXPECT_EQ(HidP_GetValueCaps(HidP_Input, values, &length, freed), HIDP_STATUS_INVALID_PREPARSED_DATA);
  ULONG nodes = 0;
  EXPECT_EQ(HidP_GetLinkCollectionNodes(nullptr, &nodes, freed), HIDP_STATUS_INVALID_PREPARSED_DATA);
}

class CollectionFromCaps : public OpenDeviceTest {};

TEST_F(CollectionFromCaps, KeepsItsCapsAndHasNoControlsToList) {
  standin::DeviceSpec spec = Board();
  spec.caps.NumberInputButtonCaps = 3;
  PlugAndOpen(spec);
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  HIDP_CAPS caps{};
  EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(caps.InputReportByteLength, 8);
  EXPECT_EQ(caps.NumberInputButtonCaps, 3);
  HIDP_BUTTON_CAPS buttons[3] = {};
  USHORT length = 3;
  EXPECT_EQ(HidP_GetButtonCaps(HidP_Input, buttons, &length, preparsed), HIDP_STATUS_NOT_IMPLEMENTED);
  HidD_FreePreparsedData(preparsed);
}

}  // namespace

// Numbered reports, feature reports and the control pipe: what a collection
// takes, what it answers, and how each report reached it.
#include "numbered_reports.h"
#include "standin_fixture.h"

namespace {

using Report = std::vector<std::uint8_t>;
using standin::Delivery;

class ControlPipe : public OpenDeviceTest {
 protected:
  static standin::DeviceSpec Numbered() { return WithNumberedReports(Board(), 4, 3, 5); }
  void SetUp() override {
    OpenDeviceTest::SetUp();
    PlugAndOpen(Numbered(), 0);
  }
};

TEST_F(ControlPipe, FeatureReportsAreKeptPerIdAndReadBack) {
  BYTE report[5] = {4, 0xAA, 0xAA, 0xAA, 0xAA};
  ASSERT_TRUE(HidD_GetFeature(file, report, sizeof report));
  EXPECT_EQ(Report(report, report + 5), (Report{4, 0, 0, 0, 0})) << "never set: its ID and zeros";

  BYTE set[5] = {5, 1, 2, 3, 4};
  ASSERT_TRUE(HidD_SetFeature(file, set, sizeof set));
  BYTE longer[8] = {5};
  ASSERT_TRUE(HidD_GetFeature(file, longer, sizeof longer)) << "a Get may pass more room";
  EXPECT_EQ(Report(longer, longer + 5), (Report{5, 1, 2, 3, 4}));
  report[0] = 4;
  ASSERT_TRUE(HidD_GetFeature(file, report, sizeof report));
  EXPECT_EQ(report[1], 0) << "report 4 is its own";

  ASSERT_TRUE(standin::SetFeatureContents(device, {4, 9}));
  ASSERT_TRUE(HidD_GetFeature(file, report, sizeof report));
  EXPECT_EQ(Report(report, report + 5), (Report{4, 9, 0, 0, 0}));
  EXPECT_FALSE(standin::SetFeatureContents(device, {6, 1})) << "no feature report 6";
  EXPECT_FALSE(standin::SetFeatureContents(device, Report(6, 4))) << "longer than a feature report";
}

TEST_F(ControlPipe, RequestsTheCollectionCannotTakeFailAsWindowsFailsThem) {
  BYTE report[8] = {4};
  EXPECT_FALSE(HidD_GetFeature(file, report, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
  EXPECT_FALSE(HidD_GetFeature(file, report, 4));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << "shorter than a feature report";
  EXPECT_FALSE(HidD_SetFeature(file, report, 6));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << "a Set passes the exact length";
  report[0] = 3;
  EXPECT_FALSE(HidD_GetFeature(file, report, 5));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << "3 numbers an output report";
  EXPECT_FALSE(HidD_SetOutputReport(file, report, 4));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  report[0] = 0;
  EXPECT_FALSE(HidD_GetInputReport(file, report, 4));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << "a numbering collection has no report 0";
  EXPECT_FALSE(HidD_GetFeature(nullptr, report, 5));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  standin::Unplug(device);
  report[0] = 4;
  EXPECT_FALSE(HidD_GetFeature(file, report, 5));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_TRUE(standin::ReceivedReports(device).empty());
}

TEST_F(ControlPipe, InputReportsOnDemandAreTheLastOfTheirIdAndLeaveTheQueueAlone) {
  BYTE report[4] = {2, 0xAA, 0xAA, 0xAA};
  ASSERT_TRUE(HidD_GetInputReport(file, report, sizeof report));
  EXPECT_EQ(Report(report, report + 4), (Report{2, 0, 0, 0}));
  // Open before the reports come: a handle receives only what comes after its open.
  HANDLE reader = Open(device, 0);
  ASSERT_TRUE(standin::SendInputReport(device, {1, 7}));
  ASSERT_TRUE(standin::SendInputReport(device, {2, 8, 9}));
  ASSERT_TRUE(standin::SendInputReport(device, {1, 6}));
  report[0] = 1;
  ASSERT_TRUE(HidD_GetInputReport(file, report, sizeof report));
  EXPECT_EQ(Report(report, report + 4), (Report{1, 6, 0, 0}));
  report[0] = 2;
  ASSERT_TRUE(HidD_GetInputReport(file, report, sizeof report));
  EXPECT_EQ(Report(report, report + 4), (Report{2, 8, 9, 0}));

  DWORD bytes = 0;
  ASSERT_TRUE(ReadFile(reader, report, sizeof report, &bytes, nullptr));
  EXPECT_EQ(report[1], 7) << "the interrupt pipe still has all three";
  CloseHandle(reader);
}

TEST_F(ControlPipe, ReceivedReportsTellThePipeAndOutputsLeaveFeaturesOut) {
  const BYTE output[3] = {3, 1, 2};
  DWORD bytes = 0;
  ASSERT_TRUE(WriteFile(file, output, sizeof output, &bytes, nullptr));
  BYTE control[3] = {3, 4, 5};
  ASSERT_TRUE(HidD_SetOutputReport(file, control, sizeof control));
  BYTE feature[5] = {4, 6, 7, 8, 9};
  ASSERT_TRUE(HidD_SetFeature(file, feature, sizeof feature));
  const BYTE unnumbered[3] = {0, 1, 2};
  EXPECT_FALSE(WriteFile(file, unnumbered, sizeof unnumbered, &bytes, nullptr)) << "the device numbers its outputs";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  const auto received = standin::ReceivedReports(device);
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].delivery, Delivery::Interrupt);
  EXPECT_EQ(received[1].delivery, Delivery::Control);
  EXPECT_EQ(received[2].delivery, Delivery::Feature);
  EXPECT_EQ(received[2].bytes, (Report{4, 6, 7, 8, 9}));
  EXPECT_EQ(standin::OutputReports(device), (std::vector<Report>{{3, 1, 2}, {3, 4, 5}}));
}

TEST_F(ControlPipe, CollectionsWindowsKeepsToItselfShareOnlyTheirFeatures) {
  standin::DeviceSpec keyboard = Numbered();
  keyboard.productId = 0x0200;
  keyboard.systemOwned = true;
  const auto owned = standin::PlugDevice(keyboard);
  HANDLE queryOnly = CreateFileA(standin::DevicePath(owned).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(queryOnly, INVALID_HANDLE_VALUE);
  BYTE feature[5] = {5, 1};
  EXPECT_TRUE(HidD_SetFeature(queryOnly, feature, sizeof feature));
  EXPECT_TRUE(HidD_GetFeature(queryOnly, feature, sizeof feature));
  BYTE report[4] = {1};
  EXPECT_FALSE(HidD_GetInputReport(queryOnly, report, sizeof report));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  report[0] = 3;
  EXPECT_FALSE(HidD_SetOutputReport(queryOnly, report, 3));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(queryOnly);
}

TEST_F(ControlPipe, UnnumberedCollectionsTakeReportZeroOnly) {
  const auto board = standin::PlugDevice(Board(0x0300));
  HANDLE handle = Open(board, 0);
  BYTE report[4] = {0, 1, 2, 3};
  EXPECT_TRUE(HidD_SetOutputReport(handle, report, sizeof report));
  report[0] = 1;
  EXPECT_FALSE(HidD_SetOutputReport(handle, report, sizeof report));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  BYTE feature[1] = {0};
  EXPECT_FALSE(HidD_GetFeature(handle, feature, sizeof feature)) << "no feature reports at all";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(handle);
}

}  // namespace

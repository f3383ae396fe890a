// Numbered reports each way Windows offers: the interrupt pipe, the control
// pipe and feature reports, with the errors of each.
#include <string>

#include "device_on_bus.h"
#include "numbered_reports.h"

namespace {

using Bytes = std::vector<uint8_t>;
using standin::Delivery;

class ControlPipe : public DeviceOnBus {
 protected:
  static standin::DeviceSpec Numbered() { return WithNumberedReports(Pad(), 6, 4, 5); }
  void SetUp() override {
    DeviceOnBus::SetUp();
    device = standin::PlugDevice(Numbered());
    ASSERT_FALSE(object.OpenByID(kPadVendorId, kPadProductId).isError);
  }

  standin::DeviceId device = 0;
  UsbClassPC& object = NewObject();
  int32_t sent = -1;
};

TEST_F(ControlPipe, EachWayCarriesItsReportIdFirstAndIsSizedToItsKind) {
  const Bytes payload = {7, 8, 9, 10, 11, 12};
  EXPECT_FALSE(object.WriteReport(3, payload.data(), 2, &sent).isError);
  EXPECT_EQ(sent, 4);
  EXPECT_FALSE(object.SendOutputReport(3, payload.data(), 1, &sent).isError);
  EXPECT_EQ(sent, 4);
  EXPECT_FALSE(object.SetFeatureReport(5, payload.data(), 6, &sent).isError);
  EXPECT_EQ(sent, 5);

  const auto received = standin::ReceivedReports(device);
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].delivery, Delivery::Interrupt);
  EXPECT_EQ(received[0].bytes, (Bytes{3, 7, 8, 0}));
  EXPECT_EQ(received[1].delivery, Delivery::Control);
  EXPECT_EQ(received[1].bytes, (Bytes{3, 7, 0, 0}));
  EXPECT_EQ(received[2].delivery, Delivery::Feature);
  EXPECT_EQ(received[2].bytes, (Bytes{5, 7, 8, 9, 10})) << "cut to the feature length";

  Bytes feature;
  EXPECT_FALSE(object.GetFeatureReport(5, feature).isError);
  EXPECT_EQ(feature, (Bytes{5, 7, 8, 9, 10}));
  ASSERT_TRUE(standin::SetFeatureContents(device, {4, 1}));
  feature.clear();
  EXPECT_FALSE(object.GetFeatureReport(4, feature).isError);
  EXPECT_EQ(feature, (Bytes{4, 1, 0, 0, 0}));
}

TEST_F(ControlPipe, AnInputReportOnDemandLeavesTheBufferAlone) {
  ASSERT_TRUE(standin::SendInputReport(device, {2, 5}));
  ASSERT_TRUE(WaitForPackets(object, 1));
  Bytes report;
  EXPECT_FALSE(object.GetInputReport(2, report).isError);
  EXPECT_EQ(report, (Bytes{2, 5, 0, 0, 0, 0}));
  report.clear();
  EXPECT_FALSE(object.GetInputReport(1, report).isError);
  EXPECT_EQ(report, (Bytes{1, 0, 0, 0, 0, 0})) << "nothing sent under 1 yet";
  EXPECT_EQ(object.input().Packets(), 1u);
}

TEST_F(ControlPipe, FailuresNameTheReportAndTheSystemsReasonAndSendNothing) {
  const uint8_t payload[] = {1};
  XtraResult outcome = object.SetFeatureReport(6, payload, 1, &sent);
  EXPECT_STREQ(outcome.StatusText(), "Error :Could not set feature report 6: The parameter is incorrect. (87)");
  EXPECT_EQ(sent, 0);
  outcome = object.WriteReport(0, payload, 1, &sent);
  EXPECT_STREQ(outcome.StatusText(), "Error :Could not write output report 0: The parameter is incorrect. (87)");
  Bytes report;
  outcome = object.GetInputReport(3, report);
  EXPECT_STREQ(outcome.StatusText(), "Error :Could not read input report 3: The parameter is incorrect. (87)");
  EXPECT_TRUE(report.empty());
  standin::FailNext("DeviceIoControl", ERROR_GEN_FAILURE);
  outcome = object.SendOutputReport(3, payload, 1, &sent);
  EXPECT_STREQ(outcome.StatusText(),
               "Error :Could not send output report 3: A device attached to the system is not functioning. (31)");
  EXPECT_TRUE(standin::ReceivedReports(device).empty());

  standin::Unplug(device);
  outcome = object.GetFeatureReport(4, report);
  EXPECT_STREQ(outcome.StatusText(), "Error :Could not read feature report 4: The device is not connected. (1167)");
}

// The requests' event is made with the first request, not by the open: when
// it cannot be made, that request fails with the system's reason, sending
// nothing, and the next one tries again.
TEST_F(ControlPipe, ARequestWithoutItsEventFailsAloneAndTheNextOneGoes) {
  const uint8_t payload[] = {1};
  standin::FailNext("CreateEventA", ERROR_NOT_ENOUGH_MEMORY);
  XtraResult outcome = object.SetFeatureReport(4, payload, 1, &sent);
  EXPECT_TRUE(outcome.isError);
  EXPECT_EQ(std::string(outcome.StatusText()).rfind("Error :Could not set feature report 4: ", 0), 0u)
      << outcome.StatusText();
  EXPECT_NE(std::string(outcome.StatusText()).find("(8)"), std::string::npos) << outcome.StatusText();
  EXPECT_EQ(sent, 0);
  EXPECT_TRUE(standin::ReceivedReports(device).empty());
  EXPECT_FALSE(object.SetFeatureReport(4, payload, 1, &sent).isError);
  EXPECT_EQ(standin::ReceivedReports(device).size(), 1u);
}

TEST_F(ControlPipe, NoOpenDeviceOrNoSuchKindOfReportIsSaidPlainly) {
  const uint8_t payload[] = {1};
  UsbClassPC& closed = NewObject();
  Bytes report;
  EXPECT_STREQ(closed.GetFeatureReport(4, report).StatusText(), "Error :Device is not open");
  EXPECT_STREQ(closed.SendOutputReport(3, payload, 1, &sent).StatusText(), "Error :Device is not open");

  standin::DeviceSpec inputOnly = Pad();
  inputOnly.productId = 0x0001;
  inputOnly.caps.OutputReportByteLength = 0;
  standin::PlugDevice(inputOnly);
  UsbClassPC& sensor = NewObject();
  ASSERT_FALSE(sensor.OpenByID(kPadVendorId, 0x0001).isError);
  EXPECT_STREQ(sensor.GetFeatureReport(0, report).StatusText(), "Error :This device has no feature reports");
  EXPECT_STREQ(sensor.SetFeatureReport(0, payload, 1, &sent).StatusText(), "Error :This device has no feature reports");
  EXPECT_STREQ(sensor.WriteReport(0, payload, 1, &sent).StatusText(), "Error :This device has no output reports");
  EXPECT_STREQ(sensor.SendOutputReport(0, payload, 1, &sent).StatusText(), "Error :This device has no output reports");
  EXPECT_TRUE(report.empty());
}

TEST_F(ControlPipe, ACollectionWindowsKeepsOpensForQueriesAndFeaturesOnly) {
  standin::DeviceSpec keyboard = Numbered();
  keyboard.productId = 0x0002;
  keyboard.systemOwned = true;
  const auto owned = standin::PlugDevice(keyboard);
  UsbClassPC& queries = NewObject();
  XtraResult opened = queries.OpenByPath(standin::DevicePath(owned).c_str(), false);
  EXPECT_STREQ(opened.StatusText(), "Ok");
  EXPECT_TRUE(queries.IsOpen());
  EXPECT_EQ(standin::LiveThreadCount(), 1u) << "only the first object's reader: nothing to read here";

  const uint8_t payload[] = {9};
  EXPECT_FALSE(queries.SetFeatureReport(4, payload, 1, &sent).isError);
  Bytes report;
  EXPECT_FALSE(queries.GetFeatureReport(4, report).isError);
  EXPECT_EQ(report, (Bytes{4, 9, 0, 0, 0}));
  EXPECT_STREQ(queries.WriteReport(3, payload, 1, &sent).StatusText(),
               "Error :Could not write output report 3: Access is denied. (5)");
  HidCollectionInfo info;
  ASSERT_TRUE(queries.GetOpenCollection(info));
  EXPECT_TRUE(info.systemOwned);

  XtraResult refused = NewObject().OpenByPath(standin::DevicePath(owned).c_str(), true);
  EXPECT_STREQ(refused.StatusText(), "Error :Open failed: Access is denied. (5)")
      << "an exclusive open asks for more than Windows grants";
}

// A device that stops answering control requests once held Director's
// thread for as long as it did: each request now waits as long as a write.
TEST_F(ControlPipe, ADeviceThatStopsAnsweringTimesOutEveryRequestAndAnswersAgainLater) {
  const uint8_t payload[] = {1};
  object.SetWriteTimeout(20);
  standin::StallOutput(device, true);
  const char kTimedOut[] = ": This operation returned because the timeout period expired. (1460)";
  EXPECT_EQ(std::string(object.SendOutputReport(3, payload, 1, &sent).StatusText()),
            std::string("Error :Could not send output report 3") + kTimedOut);
  EXPECT_EQ(std::string(object.SetFeatureReport(5, payload, 1, &sent).StatusText()),
            std::string("Error :Could not set feature report 5") + kTimedOut);
  Bytes report;
  EXPECT_EQ(std::string(object.GetFeatureReport(4, report).StatusText()),
            std::string("Error :Could not read feature report 4") + kTimedOut);
  EXPECT_EQ(std::string(object.GetInputReport(1, report).StatusText()),
            std::string("Error :Could not read input report 1") + kTimedOut);
  EXPECT_TRUE(report.empty());
  standin::StallOutput(device, false);
  EXPECT_TRUE(standin::ReceivedReports(device).empty()) << "what timed out was cancelled, not sent later";
  EXPECT_FALSE(object.SetFeatureReport(5, payload, 1, &sent).isError);
  EXPECT_FALSE(object.GetFeatureReport(5, report).isError);
  EXPECT_EQ(report, (Bytes{5, 1, 0, 0, 0}));
}

// The device answers at the very instant the wait gives up, before the
// cancel: the request went through, and what it brought is the caller's.
TEST_F(ControlPipe, ARequestAnsweredAsItsWaitRunsOutIsNoTimeout) {
  const auto answerNow = [this] { standin::StallOutput(device, false); };
  object.SetWriteTimeout(20);
  ASSERT_TRUE(standin::SetFeatureContents(device, {4, 9}));
  standin::StallOutput(device, true);
  standin::AtNextWaitTimeout(answerNow);
  Bytes feature;
  XtraResult fetched = object.GetFeatureReport(4, feature);
  EXPECT_FALSE(fetched.isError) << fetched.StatusText();
  EXPECT_EQ(feature, (Bytes{4, 9, 0, 0, 0}));

  const uint8_t payload[] = {7};
  standin::StallOutput(device, true);
  standin::AtNextWaitTimeout(answerNow);
  EXPECT_FALSE(object.WriteReport(3, payload, 1, &sent).isError);
  EXPECT_EQ(sent, 4);
  const auto received = standin::ReceivedReports(device);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].bytes, (Bytes{3, 7, 0, 0}));
}

}  // namespace

// #changes on a device that numbers its input reports: each report's
// controls are compared with that report's last values, so a name two
// reports share never looks changed because the other report came, and the
// report ID is no control. Also what a handler may do during its own call.
#include <string>
#include <vector>

#include "../standin/descriptor_items.h"
#include "input_events.h"

namespace {

using namespace items;

// Report 1: Button1, Button2 and X; report 2: Button1 and Y.
Bytes TwoReports() {
  return Descriptor({UsagePage(0x01), Usage(0x05), Application(), ReportId(1), UsagePage(0x09), UsageMinimum(1),
                     UsageMaximum(2), LogicalMinimum(0), LogicalMaximum(1), ReportSize(1), ReportCount(2),
                     Input(kVariable), ReportCount(6), Input(kConstant), UsagePage(0x01), Usage(0x30),
                     LogicalMaximum(127), ReportSize(8), ReportCount(1), Input(kVariable), ReportId(2),
                     UsagePage(0x09), Usage(0x01), LogicalMaximum(1), ReportSize(1), ReportCount(1), Input(kVariable),
                     ReportCount(7), Input(kConstant), UsagePage(0x01), Usage(0x31), LogicalMaximum(127),
                     ReportSize(8), ReportCount(1), Input(kVariable), EndCollection()});
}

class InputChanges : public InputEvents {
 protected:
  void SetUp() override {
    InputEvents::SetUp();
    standin::DeviceSpec spec = Pad();
    spec.reportDescriptor = TwoReports();
    pad = Plug(spec);
    ScriptInstance& me = New();
    ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
    ASSERT_EQ(me.Call(kSetInputHandler, "\"padInput\", #changes"), "\"Ok\"");
  }
  // Sends the reports, waits until stored, and answers the next idle's call.
  std::string Changes(const std::vector<std::vector<uint8_t>>& sent) {
    for (const std::vector<uint8_t>& report : sent) standin::SendInputReport(pad, report);
    EXPECT_TRUE(WaitForPackets(static_cast<int>(sent.size())));
    reports.clear();
    Idle();
    return reports;
  }
};

TEST_F(InputChanges, EachReportIsComparedWithItsOwnLastValues) {
  EXPECT_EQ(Changes({{1, 1, 10}, {2, 0, 20}}), "[#Button1: 1, #Button2: 0, #X: 10, #Button1: 0, #Y: 20]\n")
      << "the first call tells every control of each report, no report ID among them";
  EXPECT_EQ(Changes({{1, 1, 10}, {2, 0, 21}}), "[#Y: 21]\n") << "Button1 of report 1 and of report 2 each unchanged";
  EXPECT_EQ(Changes({{2, 0, 21}, {1, 1, 10}}), "") << "nothing changed: no call";
  EXPECT_EQ(Changes({{1, 3, 10}}), "[#Button2: 1]\n");
  EXPECT_EQ(Changes({{2, 1, 21}}), "[#Button1: 1]\n");
  EXPECT_EQ(infos.substr(infos.rfind('[')), "[#Reports: 1, #Dropped: 0, #Waiting: 0]\n");
}

TEST_F(InputChanges, AHandlerThatSetsItselfAgainStartsAfresh) {
  EXPECT_NE(Changes({{1, 1, 10}}), "");
  inside = [this] { EXPECT_EQ(hid().Call(kSetInputHandler, "\"padInput\", #changes"), "\"Ok\""); };
  EXPECT_EQ(Changes({{1, 1, 11}}), "[#X: 11]\n");
  inside = nullptr;
  EXPECT_EQ(Changes({{1, 1, 11}}), "[#Button1: 1, #Button2: 0, #X: 11]\n")
      << "the first call after SetInputHandler tells every control";
}

TEST_F(InputChanges, AHandlerThatClosesTheDeviceHearsNoMoreAndNothingIsReadTwice) {
  inside = [this] { EXPECT_EQ(hid().Call(kClose), "\"Ok\""); };
  EXPECT_EQ(Changes({{1, 1, 10}, {2, 0, 20}}), "[#Button1: 1, #Button2: 0, #X: 10, #Button1: 0, #Y: 20]\n");
  EXPECT_EQ(hid().Call(kNumberOfPacketsInReadBuffer), "0");
  Idle();
  EXPECT_EQ(calls, 1);
}

// What the handler heard goes with the device: a reopened one's first report
// is told in full, even one the same as the last before Close.
TEST_F(InputChanges, AReopenedDeviceIsToldInFull) {
  EXPECT_NE(Changes({{1, 1, 10}}), "");
  ASSERT_EQ(hid().Call(kClose), "\"Ok\"");
  Idle();
  ASSERT_EQ(hid().Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(Changes({{1, 1, 10}}), "[#Button1: 1, #Button2: 0, #X: 10]\n") << "after Close and an idle";
  ASSERT_EQ(hid().Call(kClose), "\"Ok\"");
  ASSERT_EQ(hid().Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(Changes({{1, 1, 10}}), "[#Button1: 1, #Button2: 0, #X: 10]\n") << "after Close alone";
  ASSERT_EQ(hid().Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(Changes({{1, 1, 10}}), "[#Button1: 1, #Button2: 0, #X: 10]\n") << "after an open alone";
}

}  // namespace

// Out of memory never leaves the Xtra: a method answers it, and the reader
// drops the report it had no room for and counts it.
#include <algorithm>
#include <string>
#include <vector>

#include "failing_allocations.h"
#include "standin/recorders.h"
#include "simulated_devices.h"

namespace {

class OutOfMemory : public SimulatedDevices {
 protected:
  void TearDown() override {
    FailAllocations(0, 0);
    SimulatedDevices::TearDown();
  }
  static bool AllocationsFailed() { return Eventually([] { return PendingAllocationFailures() == 0; }); }
};

// 0x1209:0x0064, as OpenById's arguments.
constexpr char kBoardIds[] = "4617, 100";

// 64-byte reports: a Read of 1024 of them needs 64 KB of its own.
standin::DeviceSpec Board() {
  standin::DeviceSpec board;
  board.vendorId = 0x1209;
  board.productId = 0x0064;
  board.caps.InputReportByteLength = 64;
  board.caps.OutputReportByteLength = 64;
  return board;
}

TEST_F(OutOfMemory, AMethodAnswersItAndTheReportsStayBuffered) {
  const standin::DeviceId board = Plug(Board());
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  ASSERT_EQ(me.Call(kOpenById, kBoardIds), "\"Ok\"");
  for (int batch = 0; batch < 4; ++batch) {
    for (int i = 0; i < 256; ++i) standin::SendInputReport(board, {static_cast<uint8_t>(i)});
    ASSERT_TRUE(WaitForPackets(256 * (batch + 1)));
  }
  FailAllocations(60000, 1);
  EXPECT_EQ(me.Call(kRead), "\"Error :Out of memory\"");
  EXPECT_EQ(me.Call(kNumberOfPacketsInReadBuffer), "1024");
  Idle();
  EXPECT_NE(TakeHandlerCalls().find("#Help: \"Out of memory\""), std::string::npos);
  EXPECT_EQ(me.Call(kReadPacket).substr(0, 4), "[0, ");
}

TEST_F(OutOfMemory, TheReaderDropsAReportItHasNoRoomForAndCountsIt) {
  const standin::DeviceId board = Plug(Board());
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kBoardIds), "\"Ok\"");
  FailAllocations(16384, 1);  // the input buffer's first ring
  standin::SendInputReport(board, {1});
  ASSERT_TRUE(AllocationsFailed());
  standin::SendInputReport(board, {2});
  ASSERT_TRUE(WaitForPackets(1));
  EXPECT_EQ(me.Call(kReadPacket).substr(0, 4), "[2, ");
  Idle();
  EXPECT_NE(TakeHandlerCalls().find("HidBridge_InternalError(1, \"Input buffer full: 1 reports dropped\", -1)"),
            std::string::npos);
}

}  // namespace

TEST_F(OutOfMemory, ADeviceEventWithoutMemoryIsLostToTheDebuggerNotToWindows) {
  ScriptInstance& me = New();
  me.Call(kMonitorHidDevices, "\"hidChanged\"");
  Idle();
  const standin::DeviceId board = Plug(Board());
  FailAllocations(64, 1);  // the arrival's path, as the event describes it
  Idle();
  EXPECT_EQ(PendingAllocationFailures(), 0);
  const std::vector<std::string> lines = standin::DebugOutput();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "HidBridge: a device event was lost for want of memory\n"),
            lines.end());
  standin::Unplug(board);
  Idle();
  EXPECT_NE(TakeHandlerCalls().find("hidChanged([#TYPE: #DEVICEREMOVECOMPLETE"), std::string::npos)
      << "the next event arrives as ever";
}

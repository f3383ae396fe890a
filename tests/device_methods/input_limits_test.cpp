// Input calls at the edges of what one call and the buffer hold: exactly
// 64 KB or 256 reports fit one call, and a full buffer drops its oldest
// reports, tells their number once and delivers the rest in order.
#include <string>
#include <vector>

#include "input_events.h"
#include "method_catalog.h"

namespace {

// The buffer holds 16 MiB: exactly this many of them, and 64 KB exactly eight.
constexpr int kLargeReport = 8192;
constexpr int kReportsInFullBuffer = (16 << 20) / kLargeReport;

class InputLimits : public InputEvents {
 protected:
  ScriptInstance& OpenLargePad() {
    standin::DeviceSpec spec = Pad();
    spec.caps.InputReportByteLength = kLargeReport;
    pad = Plug(spec);
    ScriptInstance& me = New();
    EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
    return me;
  }
  void SendLarge(int count) {
    std::vector<uint8_t> report(kLargeReport);
    report[1] = static_cast<uint8_t>(count);
    report[2] = static_cast<uint8_t>(count >> 8);
    standin::SendInputReport(pad, report);
  }
  std::string Status() { return hid().Call(kGetStatus); }
};

TEST_F(InputLimits, AFullBufferDropsTheOldestTellsThemOnceAndDeliversTheRestInOrder) {
  ScriptInstance& me = OpenLargePad();
  ASSERT_EQ(me.Call(kSetInputHandler, "\"padInput\""), "\"Ok\"");
  // In batches the device's own queue holds, each stored before the next.
  constexpr int kBatch = 16;
  for (int sent = 0; sent < kReportsInFullBuffer; sent += kBatch) {
    for (int i = sent; i < sent + kBatch; ++i) SendLarge(i);
    ASSERT_TRUE(WaitForPackets(sent + kBatch));
  }
  constexpr int kOver = 5;
  for (int i = kReportsInFullBuffer; i < kReportsInFullBuffer + kOver; ++i) SendLarge(i);
  ASSERT_TRUE(Eventually([&] { return Status().find("#DroppedReports: 5,") != std::string::npos; })) << Status();
  ASSERT_EQ(me.Call(kNumberOfPacketsInReadBuffer), std::to_string(kReportsInFullBuffer));

  Idle();
  Idle();
  // The host spells a symbol as it first met it, in this test or another.
  EXPECT_EQ(FoldCase(infos), "[#reports: 8, #dropped: 5, #waiting: " + std::to_string(kReportsInFullBuffer - 8) +
                                 "]\n[#reports: 8, #dropped: 0, #waiting: " +
                                 std::to_string(kReportsInFullBuffer - 16) + "]\n")
      << "exactly 64 KB in a call; the drop told once";
  const std::vector<int> delivered = Delivered();
  ASSERT_EQ(delivered.size(), 16u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(delivered[i], kOver + i) << "the oldest five went";
}

TEST_F(InputLimits, TheTwoHundredFiftySeventhReportWaitsForTheNextIdle) {
  ScriptInstance& me = OpenPad(pad);
  SendCounted(0, 257);
  ASSERT_EQ(me.Call(kSetInputHandler, "\"padInput\""), "\"Ok\"");
  Idle();
  Idle();
  EXPECT_EQ(infos, "[#Reports: 256, #Dropped: 0, #Waiting: 1]\n[#Reports: 1, #Dropped: 0, #Waiting: 0]\n");
  EXPECT_EQ(Delivered().back(), 256);
}

}  // namespace

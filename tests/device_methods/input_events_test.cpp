// Input reports delivered to the movie's handler at idle: each report once,
// in order, whatever the movie reads meanwhile, and nothing after Close or
// forget.
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "lingo_literals.h"
#include "simulated_devices.h"

namespace {

class InputEvents : public SimulatedDevices {
 protected:
  void SetUp() override {
    SimulatedDevices::SetUp();
    host.player().Define("padInput", [this](const std::vector<MoaMmValue>& arguments) {
      ++calls;
      if (arguments.size() == 3) {
        reports += FormatLiteral(host.values(), arguments[1]) + "\n";
        infos += FormatLiteral(host.values(), arguments[2]) + "\n";
      }
      if (inside) inside();
      return kVoidMoaMmValue;
    });
  }
  // Sends reports whose byte 1 counts from `first`, and waits until stored.
  void SendCounted(int first, int count) {
    for (int i = first; i < first + count; ++i)
      standin::SendInputReport(pad, {0, static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)});
    ASSERT_TRUE(WaitForPackets(stored += count));
  }

  standin::DeviceId pad = 0;
  int stored = 0;
  int calls = 0;
  std::string reports;
  std::string infos;
  std::function<void()> inside;
};

TEST_F(InputEvents, EachReportReachesTheHandlerOnceInOrderAtMost256ACall) {
  ScriptInstance& me = OpenPad(pad);
  SendCounted(0, 200);
  SendCounted(200, 100);
  ASSERT_EQ(me.Call(kSetInputHandler, "\"padInput\""), "\"Ok\"");
  Idle();
  EXPECT_EQ(calls, 1) << "one call per idle";
  EXPECT_EQ(infos, "[#Reports: 256, #Dropped: 0, #Waiting: 44]\n");
  Idle();
  EXPECT_EQ(calls, 2);
  EXPECT_NE(infos.find("[#Reports: 44, #Dropped: 0, #Waiting: 0]"), std::string::npos);
  // Report i carries i in bytes 1 and 2: all 300, once each, in order.
  const std::regex report("\\[0, ([0-9]+), ([0-9]+),");
  int next = 0;
  for (auto match = std::sregex_iterator(reports.begin(), reports.end(), report); match != std::sregex_iterator();
       ++match, ++next)
    ASSERT_EQ(std::stoi((*match)[1]) + 256 * std::stoi((*match)[2]), next);
  EXPECT_EQ(next, 300);
  EXPECT_EQ(me.Call(kNumberOfPacketsInReadBuffer), "0") << "what was delivered has left the buffer";
  Idle();
  EXPECT_EQ(calls, 2) << "no call while nothing came";
}

// Polling and events mix: what ReadPacket took is not delivered, and a
// handler that reads during its own call does not get its reports twice.
TEST_F(InputEvents, ReadingMeanwhileNeverDeliversAReportTwice) {
  ScriptInstance& me = OpenPad(pad);
  SendCounted(0, 3);
  EXPECT_EQ(me.Call(kReadPacket).substr(0, 7), "[0, 0, ");
  ASSERT_EQ(me.Call(kSetInputHandler, "\"padInput\""), "\"Ok\"");
  std::string readInside;
  inside = [&] { readInside = me.Call(kReadPacket); };
  Idle();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(infos, "[#Reports: 2, #Dropped: 0, #Waiting: 0]\n");
  EXPECT_EQ(reports.find("[0, 0, 0"), std::string::npos) << "the report ReadPacket took";
  EXPECT_EQ(readInside, "[]") << "the reports being delivered are no longer in the buffer";
}

TEST_F(InputEvents, CloseAndForgetStopDelivery) {
  ScriptInstance& me = OpenPad(pad);
  ASSERT_EQ(me.Call(kSetInputHandler, "\"padInput\""), "\"Ok\"");
  SendCounted(0, 2);
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  Idle();
  EXPECT_EQ(calls, 0) << "after Close";
  EXPECT_EQ(me.Call(kNumberOfPacketsInReadBuffer), "2") << "still the movie's to read";
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  me.Forget();
  standin::SendInputReport(pad, {0, 9});
  Idle();
  EXPECT_EQ(calls, 0) << "after forget";
}

}  // namespace

// Input reports delivered to the movie's handler at idle: each report once,
// in order, whatever the movie reads meanwhile, and nothing after Close or
// forget.
#include <string>
#include <vector>

#include "input_events.h"

namespace {

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
  const std::vector<int> delivered = Delivered();
  ASSERT_EQ(delivered.size(), 300u);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(delivered[i], i);
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

// While a handler hears the reports, an unplug waits for the last of them,
// at idle and in a call alike; it is told at the idle that delivers them.
TEST_F(InputEvents, AnUnplugIsToldAfterTheLastReportsTheHandlerHears) {
  ScriptInstance& me = OpenPad(pad);
  SendCounted(0, 300);
  ASSERT_EQ(me.Call(kSetInputHandler, "\"padInput\""), "\"Ok\"");
  standin::Unplug(pad);
  ASSERT_TRUE(ReadersEnded());
  Idle();
  EXPECT_EQ(calls, 1);
  me.Call(kGetStatus);
  Idle();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(Delivered().size(), 300u);
  // The calls by name; the reports are too long a text for a regex.
  std::string called;
  for (const auto& call : host.player().calls())
    called += call.name == "padInput" ? "padInput\n" : call.name + "(" + call.arguments + ")\n";
  EXPECT_TRUE(std::regex_match(
      called, std::regex("padInput\npadInput\nHidBridge_InternalError\\([0-9]+, \"The device is not connected.\", 1167\\)\n")))
      << called;
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

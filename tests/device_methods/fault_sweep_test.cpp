// Every Windows call that can fail, failing at each place it is made on the
// way through an open, a read, a write and a close: whatever the movie is
// answered, nothing is left behind and the next session works.
#include <chrono>

#include "simulated_devices.h"

namespace {

// Beyond this many calls of one function the session repeats itself.
constexpr unsigned kPlacesPerFunction = 8;

// On Windows these fail only for what is not open, so a failure leaves
// nothing behind; the stand-in's would, without a fault of the Xtra's.
bool Releases(const std::string& function) {
  return function == "CloseHandle" || function == "HidD_FreePreparsedData" ||
         function == "SetupDiDestroyDeviceInfoList";
}

class FaultSweep : public SimulatedDevices {
 protected:
  // One session of a fresh instance; false when the fault never fired.
  bool Session(standin::DeviceId pad) {
    {
      ScriptInstance me(host);
      me.Call(kShowErrorsAsDialogs, "0");
      me.Call(kSetWriteTimeout, "50");
      me.Call(kOpenById, kPadIds);
      standin::SendInputReport(pad, {1, 2});
      // A fault may keep the report from ever coming: a short wait, and on.
      static_cast<void>(Eventually([&] { return me.Call(kNumberOfPacketsInReadBuffer) != "0"; },
                                   std::chrono::milliseconds(300)));
      me.Call(kRead);
      me.Call(kWrite, "1, 2, 3");
      me.Call(kClose);
      Idle();
      me.Forget();
    }
    const bool fired = standin::PendingFaults().empty();
    standin::ClearFaults();
    return fired;
  }

  void ExpectNothingLeftBehind(const std::string& where) {
    EXPECT_TRUE(standin::AwaitThreadsEnded(std::chrono::seconds(5))) << where;
    EXPECT_EQ(standin::OpenHandleCount(), 0u) << where << ": " << standin::DescribeOpenHandles();
    EXPECT_TRUE(host.module().AwaitUnloadable(std::chrono::seconds(5))) << where;
    for (const std::string& leak : host.Leaks()) ADD_FAILURE() << where << " left behind: " << leak;
  }
};

TEST_F(FaultSweep, EveryFailureAnywhereLeavesNothingBehind) {
  const standin::DeviceId pad = Plug();
  for (const std::string& function : standin::FallibleFunctions()) {
    if (Releases(function)) continue;
    for (unsigned place = 0; place < kPlacesPerFunction; ++place) {
      standin::FailNext(function, ERROR_GEN_FAILURE, place);
      const bool fired = Session(pad);
      ExpectNothingLeftBehind(function + " failing at call " + std::to_string(place + 1));
      if (!fired || HasFailure()) break;
    }
    if (HasFailure()) break;
  }
  ASSERT_FALSE(HasFailure());
  ScriptInstance me(host);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"") << "and afterwards all works";
  standin::SendInputReport(pad, {9});
  EXPECT_TRUE(WaitForPackets(me, 1));
  EXPECT_EQ(me.Call(kReadPacket), "[9, 0, 0, 0, 0, 0, 0, 0, 0]");
  EXPECT_EQ(me.Call(kWrite, "4"), "\"Ok (in:1 sent:9)\"");
  me.Forget();
}

}  // namespace

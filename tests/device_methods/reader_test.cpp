// The reader thread as the movie meets it: reads that fail and work again,
// a device that goes, and a Close that never waits for the thread, which
// ends on its own without touching the device object again.
#include <atomic>
#include <regex>
#include <thread>

#include "simulated_devices.h"

namespace {

class Reader : public SimulatedDevices {
 protected:
  ScriptInstance& OpenPad() { return SimulatedDevices::OpenPad(pad); }
  // Until the reader waits in a read of its own, which Close must end.
  bool ReadPending() { return Eventually([this] { return standin::PendingReadCount(pad) == 1; }); }
  static bool FaultsFired() { return Eventually([] { return standin::PendingFaults().empty(); }); }
  // The InternalError calls since the last look, as "code text" lines.
  std::string TakeInternalErrors() {
    Idle();
    std::string errors;
    const std::regex call("HidBridge_InternalError\\([0-9]+, \"(.*)\", (-?[0-9]+)\\)");
    std::smatch match;
    const std::string calls = TakeHandlerCalls();
    for (size_t start = 0, end; (end = calls.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = calls.substr(start, end - start);
      if (std::regex_match(line, match, call)) errors += match.str(2) + " " + match.str(1) + "\n";
    }
    return errors;
  }
  bool Unloadable() { return host.module().DllCanUnloadNow() == kMoaErr_NoErr; }

  standin::DeviceId pad = 0;
};

const char kNotFunctioning[] = "31 A device attached to the system is not functioning.\n";

TEST_F(Reader, AFailedReadOfAPresentDeviceIsRetriedAndReportedOncePerRun) {
  ScriptInstance& me = OpenPad();
  ASSERT_TRUE(ReadPending());
  standin::FailNext("ReadFile", ERROR_GEN_FAILURE, 0, 3);
  standin::SendInputReport(pad, {1});
  ASSERT_TRUE(FaultsFired());
  standin::SendInputReport(pad, {2});
  ASSERT_TRUE(WaitForPackets(2)) << "reading went on after the failures";
  EXPECT_EQ(me.Call(kRead), "[1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0]");
  EXPECT_EQ(TakeInternalErrors(), kNotFunctioning);

  standin::FailNext("ReadFile", ERROR_GEN_FAILURE);
  standin::SendInputReport(pad, {3});
  ASSERT_TRUE(FaultsFired());
  standin::SendInputReport(pad, {4});
  ASSERT_TRUE(WaitForPackets(2));
  me.Call(kRead);
  EXPECT_EQ(TakeInternalErrors(), kNotFunctioning) << "a new run of failures is told again";
  EXPECT_EQ(me.Call(kIsOpen), "1");
}

TEST_F(Reader, AFailedWaitIsToldAndReadingGoesOn) {
  ScriptInstance& me = OpenPad();
  ASSERT_TRUE(ReadPending());
  standin::FailNext("WaitForMultipleObjects", ERROR_INVALID_HANDLE);
  ASSERT_TRUE(FaultsFired());
  standin::SendInputReport(pad, {5});
  ASSERT_TRUE(WaitForPackets(1));
  me.Call(kReadPacket);
  EXPECT_EQ(TakeInternalErrors(), "6 The handle is invalid.\n");
  EXPECT_EQ(standin::LiveThreadCount(), 1u);
}

TEST_F(Reader, OnlyADeviceThatIsGoneEndsTheReader) {
  ScriptInstance& me = OpenPad();
  ASSERT_TRUE(ReadPending());
  standin::FailNext("ReadFile", ERROR_INVALID_HANDLE);
  standin::SendInputReport(pad, {1});
  EXPECT_TRUE(ReadersEnded());
  me.Call(kReadPacket);
  EXPECT_EQ(TakeInternalErrors(), "6 The handle is invalid.\n");
  EXPECT_EQ(me.Call(kIsOpen), "1") << "until Close";
}

// Wine fails the reads of a removed device with ERROR_ACCESS_DENIED, a code a
// present device may give too: the reader asks the device, and ends once, as
// for a removal, only when it is gone.
TEST_F(Reader, AReadThatFailsBecauseTheDeviceIsGoneEndsTheReaderOnceWhateverTheCode) {
  standin::DeviceSpec wine = Pad();
  wine.removalDeniesAccess = true;
  pad = Plug(wine);
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  ASSERT_TRUE(ReadPending());
  standin::FailNext("ReadFile", ERROR_ACCESS_DENIED);
  standin::SendInputReport(pad, {1});
  ASSERT_TRUE(FaultsFired());
  standin::SendInputReport(pad, {2});
  ASSERT_TRUE(WaitForPackets(2)) << "a present device is read again";
  me.Call(kRead);
  EXPECT_EQ(TakeInternalErrors(), "5 Access is denied.\n");

  standin::Unplug(pad);
  EXPECT_TRUE(ReadersEnded());
  me.Call(kReadPacket);
  EXPECT_EQ(TakeInternalErrors(), "1167 The device is not connected.\n");
  const std::string status = me.Call(kGetStatus);
  EXPECT_NE(status.find("#Connected: 0"), std::string::npos) << status;
  EXPECT_NE(status.find("#Reading: 0"), std::string::npos) << status;
  EXPECT_EQ(TakeInternalErrors(), "") << "told once";
}

TEST_F(Reader, AFailureOfTheDeviceBeforeIsNoNewsOfTheReopenedOne) {
  ScriptInstance& me = OpenPad();
  standin::Unplug(pad);
  ASSERT_TRUE(ReadersEnded());
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  pad = Plug();
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  standin::SendInputReport(pad, {8});
  ASSERT_TRUE(WaitForPackets(1));
  EXPECT_EQ(me.Call(kReadPacket), "[8, 0, 0, 0, 0, 0, 0, 0, 0]");
  EXPECT_EQ(TakeInternalErrors(), "");

  standin::Unplug(pad);
  ASSERT_TRUE(ReadersEnded());
  pad = Plug();
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"") << "an open closes the device before";
  me.Call(kReadPacket);
  EXPECT_EQ(TakeInternalErrors(), "");
}

TEST_F(Reader, CloseOfADeviceWithoutInputReportsReturnsWhenItsStopSignalFails) {
  standin::DeviceSpec silent = Pad();
  silent.caps.InputReportByteLength = 0;
  Plug(silent);
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  ASSERT_TRUE(Eventually([] { return standin::BlockedThreadCount() == 1; })) << "the reader waits for the stop signal";
  standin::FailNext("SetEvent", ERROR_INVALID_HANDLE);
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  EXPECT_TRUE(ReadersEnded()) << "the reader saw it was let go without the signal";
}

// A reader whose read no cancel ends keeps only what is its own, and the
// module loaded, until the read ends; Close and forget do not wait for it.
TEST_F(Reader, AReaderThatCannotBeStoppedKeepsTheModuleLoadedUntilItEnds) {
  ScriptInstance& me = OpenPad();
  ASSERT_TRUE(ReadPending());
  standin::FailNext("CancelIoEx", ERROR_INVALID_HANDLE, 0, 1000000);
  standin::FailNext("CancelIo", ERROR_INVALID_HANDLE, 0, 1000000);
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  me.Forget();
  me.Dispose();
  EXPECT_EQ(standin::LiveThreadCount(), 1u);
  EXPECT_FALSE(Unloadable());
  standin::ClearFaults();
  EXPECT_TRUE(ReadersEnded());
  EXPECT_TRUE(Unloadable());
}

// A closed device's thread waits for the next open, never past the last
// instance. Director asks whether the module may go as soon as it has let
// go of that: by then every thread has ended, parked or still stopping its
// reader.
TEST_F(Reader, TheThreadsEndWithTheLastInstanceAndTheModuleMayGoAtOnce) {
  ScriptInstance& me = OpenPad();
  ScriptInstance other(host);
  ASSERT_EQ(other.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  ASSERT_TRUE(Eventually([] { return standin::RestingThreadCount() == 1; })) << "its thread parks";
  ASSERT_TRUE(ReadPending()) << "the other reads";
  me.Forget();
  me.Dispose();
  EXPECT_EQ(standin::LiveThreadCount(), 2u) << "another instance may open";
  // The other's reader needs a second try to cancel its read: it is still
  // stopping when its instance goes.
  standin::FailNext("CancelIoEx", ERROR_INVALID_HANDLE);
  standin::FailNext("CancelIo", ERROR_INVALID_HANDLE);
  other.Forget();
  other.Dispose();
  EXPECT_TRUE(Unloadable());
  EXPECT_TRUE(standin::PendingFaults().empty()) << "the reader stopped with its second try";
}

// Windows XP has no CancelIoEx: the reader cancels its own read, which is
// all that CancelIo can.
TEST_F(Reader, WithoutCancelIoExTheReaderStillEndsAndWritesStillTimeOut) {
  ScriptInstance& me = OpenPad();
  standin::FailNext("GetProcAddress", ERROR_PROC_NOT_FOUND, 0, 1000000);
  me.Call(kSetWriteTimeout, "20");
  standin::StallOutput(pad, true);
  EXPECT_EQ(me.Call(kWrite, "1"), "\"Error :Write timed out (1460)\"");
  standin::StallOutput(pad, false);
  EXPECT_TRUE(standin::OutputReports(pad).empty()) << "cancelled";
  ASSERT_TRUE(ReadPending());
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  EXPECT_TRUE(ReadersEnded());
}

TEST_F(Reader, AfterForgetTheReaderNeverTouchesTheDeviceObject) {
  ScriptInstance& me = OpenPad();
  std::atomic<bool> sending{true};
  std::thread device([this, &sending] {
    for (uint8_t i = 0; sending; ++i) standin::SendInputReport(pad, {i});
  });
  ASSERT_TRUE(Eventually([&] { return me.Call(kNumberOfPacketsInReadBuffer) != "0"; })) << "the reader stores";
  standin::FailNext("WaitForSingleObject", ERROR_INVALID_HANDLE, 0, 20);
  me.Forget();
  EXPECT_TRUE(ReadersEnded()) << "while the device kept sending";
  sending = false;
  device.join();
}

TEST_F(Reader, AReadThatClaimsMoreThanItAskedForStoresOnlyThat) {
  standin::DeviceSpec faulty = Pad();
  faulty.overstatedReadBytes = 100;
  pad = Plug(faulty);
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  standin::SendInputReport(pad, {1, 2, 3});
  ASSERT_TRUE(WaitForPackets(1));
  EXPECT_EQ(me.Call(kNumberOfItemsInReadBuffer), "9");
  EXPECT_EQ(me.Call(kReadPacket), "[1, 2, 3, 0, 0, 0, 0, 0, 0]");
}


// Reports waiting when the reader reads again end its reads at once; each
// is stored once, whole and in order, from what GetOverlappedResult tells.
TEST_F(Reader, ReportsWaitingForTheReaderAreEachStoredOnceInOrder) {
  ScriptInstance& me = OpenPad();
  ASSERT_TRUE(ReadPending());
  standin::HoldSatisfiedWaits(true);
  standin::SendInputReport(pad, {0, 1});
  ASSERT_TRUE(Eventually([] { return standin::HeldWaits() == 1; }));
  for (uint8_t report = 2; report <= 4; ++report) standin::SendInputReport(pad, {0, report});
  standin::HoldSatisfiedWaits(false);
  ASSERT_TRUE(WaitForPackets(4));
  EXPECT_EQ(me.Call(kRead),
            "[0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, "
            "0, 4, 0, 0, 0, 0, 0, 0, 0]");
  EXPECT_EQ(me.Call(kNumberOfPacketsInReadBuffer), "0");
}

std::string StatusOf(ScriptInstance& me, const std::string& key) {
  const std::string status = me.Call(kGetStatus);
  const size_t at = status.find("#" + key + ": ");
  if (at == std::string::npos) return "(no #" + key + ")";
  const size_t start = at + key.size() + 3;
  return status.substr(start, status.find_first_of(",]", start) - start);
}

// The reader of the first open, let go of, holds the device for as long as
// its last read takes to cancel; the second open's reader waits for it as
// the second open's own handle does.
TEST_F(Reader, AnExclusiveOpenRightAfterAnExclusiveOpenReads) {
  pad = Plug();
  ScriptInstance& me = New();
  const std::string path = "\"" + standin::DevicePath(pad) + "\", 1";
  ASSERT_EQ(me.Call(kOpenByPath, path), "\"Ok\"");
  ASSERT_TRUE(ReadPending());
  standin::FailNext("CancelIoEx", ERROR_INVALID_HANDLE, 0, 1);
  standin::FailNext("CancelIo", ERROR_INVALID_HANDLE, 0, 1);
  EXPECT_EQ(me.Call(kOpenByPath, path), "\"Ok\"");
  EXPECT_EQ(StatusOf(me, "Reading"), "1");
  standin::SendInputReport(pad, {0, 7});
  EXPECT_TRUE(WaitForPackets(1));
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
}

// An object that holds a device it cannot read says so, and why.
TEST_F(Reader, AnOpenWhoseReaderCannotStartSaysItIsNotReading) {
  pad = Plug();
  ScriptInstance& me = New();
  standin::FailNext("CreateThread", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Error :Could not start the reader thread (8)\"");
  EXPECT_EQ(me.Call(kIsOpen), "1");
  EXPECT_EQ(StatusOf(me, "Reading"), "0");
  EXPECT_EQ(StatusOf(me, "LastError"), "\"Could not start the reader thread\"");
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(StatusOf(me, "Reading"), "1");
}

// The report came in, and the reader was about to store it, when Close let
// go of the reader: it is the movie's all the same.
TEST_F(Reader, AReportThatCompletesAtTheInstantOfCloseIsStillThereToRead) {
  ScriptInstance& me = OpenPad();
  ASSERT_TRUE(ReadPending());
  standin::HoldSatisfiedWaits(true);
  standin::SendInputReport(pad, {0, 42});
  ASSERT_TRUE(Eventually([] { return standin::HeldWaits() == 1; }));
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  standin::HoldSatisfiedWaits(false);
  EXPECT_EQ(me.Call(kReadPacket), "[0, 42, 0, 0, 0, 0, 0, 0, 0]");
  EXPECT_TRUE(ReadersEnded());
}

}  // namespace

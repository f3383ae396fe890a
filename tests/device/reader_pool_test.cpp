// The threads readers run on: a closed device's thread parks and reads for
// the next open, with nothing of the last device, and no thread outlives
// the device objects it served, however their ends and its parking meet.
#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

#include "device/reader_pool.h"
#include "device/reader_thread.h"
#include "device_on_bus.h"
#include "parked_threads.h"

namespace {

using Bytes = std::vector<uint8_t>;
using ReaderPool = DeviceOnBus;

// Once a closed device's reader has let go of everything, only the parked
// thread is left, waiting on its own wake-up event, with its events.
bool Parked(size_t threads = 1) {
  return Eventually([threads] {
    return standin::LiveThreadCount() == threads && standin::RestingThreadCount() == threads &&
           OnlyParkedThreadsHoldHandles();
  });
}

// A vendor device with longer input reports than the pad's.
standin::DeviceSpec Meter() {
  standin::DeviceSpec meter;
  meter.vendorId = 0x1209;
  meter.productId = 0x0042;
  meter.product = u"Meter";
  meter.caps.UsagePage = 0xFF00;
  meter.caps.Usage = 1;
  meter.caps.InputReportByteLength = 33;
  meter.caps.OutputReportByteLength = 33;
  return meter;
}

Bytes Oldest(UsbClassPC& object) {
  Bytes bytes;
  object.input().Copy(bytes, 65535, 1, 65535);
  return bytes;
}

TEST_F(ReaderPool, AClosedDevicesThreadReadsForTheNextOpenWithNothingOfTheLast) {
  const auto pad = standin::PlugDevice(Pad());
  const auto meter = standin::PlugDevice(Meter());
  UsbClassPC& first = NewObject();
  ASSERT_FALSE(first.OpenByPath(standin::DevicePath(pad).c_str(), true).isError);
  standin::SendInputReport(pad, {0, 1});
  ASSERT_TRUE(WaitForPackets(first, 1));
  EXPECT_FALSE(first.Close().isError);
  ASSERT_TRUE(Parked());

  UsbClassPC& second = NewObject();
  ASSERT_FALSE(second.OpenByPath(standin::DevicePath(meter).c_str(), false).isError);
  EXPECT_TRUE(second.IsReading());
  EXPECT_EQ(standin::LiveThreadCount(), 1u) << "the parked thread reads";
  Bytes full(33, 0);
  full[32] = 0x5A;
  standin::SendInputReport(pad, {0, 2});
  standin::SendInputReport(meter, full);
  ASSERT_TRUE(WaitForPackets(second, 1));
  EXPECT_EQ(Oldest(second), full) << "a whole report of the new length";
  EXPECT_EQ(first.input().Packets(), 1u) << "the closed device's object hears nothing more";

  // Its handle on the pad is gone: an exclusive open succeeds at once.
  EXPECT_FALSE(first.OpenByPath(standin::DevicePath(pad).c_str(), true).isError);
  EXPECT_EQ(standin::LiveThreadCount(), 2u);
}

TEST_F(ReaderPool, AtMostTwoThreadsParkAndEachOpenStillGetsOne) {
  std::vector<standin::DeviceId> pads;
  std::vector<UsbClassPC*> objects;
  for (const char16_t* serial : {u"1", u"2", u"3"}) {
    pads.push_back(standin::PlugDevice(Pad(serial)));
    objects.push_back(&NewObject());
    ASSERT_FALSE(objects.back()->OpenByPath(standin::DevicePath(pads.back()).c_str(), false).isError);
  }
  for (UsbClassPC* object : objects) object->Close();
  ASSERT_TRUE(Parked(2));
  for (size_t i = 0; i < pads.size(); ++i)
    ASSERT_FALSE(objects[i]->OpenByPath(standin::DevicePath(pads[i]).c_str(), false).isError);
  EXPECT_EQ(standin::LiveThreadCount(), 3u);
  for (size_t i = 0; i < pads.size(); ++i) {
    standin::SendInputReport(pads[i], {0, static_cast<uint8_t>(i)});
    ASSERT_TRUE(WaitForPackets(*objects[i], 1));
    EXPECT_EQ(Oldest(*objects[i])[1], i);
  }
}

TEST_F(ReaderPool, ParkedThreadsEndWithTheLastDeviceObjectNotBefore) {
  const auto pad = standin::PlugDevice(Pad());
  auto first = std::make_unique<UsbClassPC>();
  auto last = std::make_unique<UsbClassPC>();
  ASSERT_FALSE(first->OpenByPath(standin::DevicePath(pad).c_str(), false).isError);
  first->Close();
  ASSERT_TRUE(Parked());
  first.reset();
  EXPECT_EQ(standin::LiveThreadCount(), 1u) << "another device object may reopen";
  last.reset();
  EXPECT_EQ(reader_pool::LiveThreads(), 0) << "ended before the last object's end returned";
}

// The instant a parked thread's wait runs out, an open takes it: the thread
// reads for that open rather than end, or another does, and nothing of
// either is left behind.
TEST_F(ReaderPool, AnOpenThatTakesAThreadAsItsParkRunsOutIsServed) {
  const auto pad = standin::PlugDevice(Pad());
  const std::string path = standin::DevicePath(pad);
  UsbClassPC& object = NewObject();
  ASSERT_FALSE(object.OpenByPath(path.c_str(), false).isError);
  object.Close();
  ASSERT_TRUE(Parked());
  standin::HoldEndedRests(true);
  standin::EndRests();
  ASSERT_TRUE(Eventually([] { return standin::HeldRests() == 1; }));
  ASSERT_FALSE(object.OpenByPath(path.c_str(), false).isError);
  standin::HoldEndedRests(false);
  standin::SendInputReport(pad, {0, 7});
  EXPECT_TRUE(WaitForPackets(object, 1));
  object.Close();
  EXPECT_TRUE(Parked()) << "one thread, parked again";
}

// Windows keeps an event signalled once it is set; only a broken handle
// fails. The thread then finds its reader when its wait runs out.
TEST_F(ReaderPool, AParkedThreadWhoseWakeUpFailsStillReadsOnceItsWaitRunsOut) {
  const auto pad = standin::PlugDevice(Pad());
  UsbClassPC& object = NewObject();
  ASSERT_FALSE(object.OpenByPath(standin::DevicePath(pad).c_str(), false).isError);
  object.Close();
  ASSERT_TRUE(Parked());
  standin::FailNext("SetEvent", ERROR_INVALID_HANDLE);
  ASSERT_FALSE(object.OpenByPath(standin::DevicePath(pad).c_str(), false).isError);
  EXPECT_EQ(standin::LiveThreadCount(), 1u);
  EXPECT_TRUE(Eventually([&] { return standin::PendingReadCount(pad) == 1; }));
  standin::SendInputReport(pad, {0, 7});
  EXPECT_TRUE(WaitForPackets(object, 1));
}

// A reader that ended on its own, its device gone, has given its events back
// to its thread, which may be parked or gone: Close must set neither.
TEST_F(ReaderPool, CloseAfterTheReaderEndedOnItsOwnSetsNoEventOfItsThread) {
  const auto pad = standin::PlugDevice(Pad());
  UsbClassPC& object = NewObject();
  ASSERT_FALSE(object.OpenByPath(standin::DevicePath(pad).c_str(), false).isError);
  standin::Unplug(pad);
  ASSERT_TRUE(Eventually([] { return standin::LiveThreadCount() == 1 && standin::RestingThreadCount() == 1; }));
  standin::FailNext("SetEvent", ERROR_INVALID_HANDLE);
  EXPECT_FALSE(object.Close().isError);
  EXPECT_EQ(standin::PendingFaults(), std::vector<std::string>{"SetEvent"}) << "Close set an event";
  standin::ClearFaults();
}

// Reopening and letting go while reports pour in and threads park: what a
// race between a reader's end, its thread's parking and the next open or
// the last object's end would break.
TEST_F(ReaderPool, QuickReopensAndEndsUnderReportsLoseNoThreadAndMixNoDevices) {
  const auto pad = standin::PlugDevice(Pad(u"P"));
  const auto meter = standin::PlugDevice(Meter());
  // Stops and joins however the test ends: a joinable thread would end the run.
  struct Feeder {
    std::atomic<bool> pouring{true};
    std::thread thread;
    ~Feeder() {
      pouring = false;
      thread.join();
    }
  } feeder;
  feeder.thread = std::thread([&] {
    while (feeder.pouring) standin::SendInputReport(pad, {0, 1});
  });
  for (int round = 0; round < 40; ++round) {
    auto object = std::make_unique<UsbClassPC>();
    for (int open = 0; open < 3; ++open) {
      // The last reader's thread closes its handle on the pad in its own
      // time, which an open waits for only briefly, however busy the
      // machine: the reopen races the thread's parking, not its handle.
      ASSERT_TRUE(Eventually([] { return ReaderThread::LettingGo() == 0; }));
      XtraResult opened = object->OpenByPath(standin::DevicePath(pad).c_str(), open % 2 == 0);
      ASSERT_FALSE(opened.isError) << opened.StatusText();
      object->Close();
    }
    ASSERT_FALSE(object->OpenByPath(standin::DevicePath(meter).c_str(), false).isError);
    const size_t padPackets = object->input().Packets();
    standin::SendInputReport(meter, Bytes(33, 9));
    ASSERT_TRUE(WaitForPackets(*object, static_cast<int>(padPackets) + 1));
    // The object goes with its device open, its reader's thread parking
    // or not, and with it the last owner of the parked threads.
    object.reset();
    ASSERT_EQ(reader_pool::LiveThreads(), 0);
  }
}

// In a child process: ends the program, as a fuzzer does after its last
// run, while a closed device's thread is still ending, held until the
// program's statics are destroyed.
[[noreturn]] void EndTheProgramWhileAReaderEnds(standin::DeviceId pad) {
  // Registered before the pool's first use: runs after what that made is gone.
  std::atexit([] {
    standin::HoldSatisfiedWaits(false);
    if (!standin::AwaitThreadsEnded(std::chrono::seconds(10))) std::_Exit(2);
  });
  {
    UsbClassPC object;
    if (object.OpenByPath(standin::DevicePath(pad).c_str(), false).isError) std::_Exit(3);
    if (!Eventually([pad] { return standin::PendingReadCount(pad) == 1; })) std::_Exit(4);
    standin::HoldSatisfiedWaits(true);
    object.Close();
    if (!Eventually([] { return standin::HeldWaits() == 1; })) std::_Exit(5);
  }
  std::exit(0);
}

// A thread that cannot be waited for (here one held in its wait) may still
// be ending as the program ends, its statics destroyed: its last steps must
// find the pool.
TEST_F(ReaderPool, AThreadStillEndingAsTheProgramEndsFindsThePool) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(EndTheProgramWhileAReaderEnds(standin::PlugDevice(Pad())), testing::ExitedWithCode(0), "");
}

}  // namespace

// Opening, reading, writing and closing a simulated device through the
// script's methods, including every way an open can fail.
#include <atomic>
#include <thread>

#include "host_doubles.h"
#include "parked_threads.h"
#include "simulated_devices.h"

namespace {

using DeviceIo = SimulatedDevices;

const char kPadCaps[] =
    "[[#Usage: 5, #UsagePage: 1, #InputReportByteLength: 9, #OutputReportByteLength: 9, "
    "#FeatureReportByteLength: 0, #NumberLinkCollectionNodes: 1, #NumberInputButtonCaps: 1, "
    "#NumberInputValueCaps: 4, #NumberInputDataIndices: 16, #NumberOutputButtonCaps: 0, "
    "#NumberOutputValueCaps: 0, #NumberOutputDataIndices: 0, #NumberFeatureButtonCaps: 0, "
    "#NumberFeatureValueCaps: 0, #NumberFeatureDataIndices: 0]]";

TEST_F(DeviceIo, OpenByIdOpensAndDescribesTheDevice) {
  Plug();
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(me.Call(kIsOpen), "1");
  EXPECT_EQ(me.Call(kGetCapabilities), kPadCaps);
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  EXPECT_EQ(me.Call(kIsOpen), "0");
  EXPECT_EQ(me.Call(kGetCapabilities), kPadCaps);
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
}

TEST_F(DeviceIo, ReportsArriveAsWholePacketsInOrder) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  standin::SendInputReport(pad, {1, 10, 11, 12, 13, 14, 15, 16, 17});
  standin::SendInputReport(pad, {1, 20});
  standin::SendInputReport(pad, {2, 30, 31, 32, 33, 34, 35, 36, 37});
  ASSERT_TRUE(WaitForPackets(3));
  EXPECT_EQ(me.Call(kNumberOfItemsInReadBuffer), "27");
  EXPECT_EQ(me.Call(kReadPacket), "[1, 10, 11, 12, 13, 14, 15, 16, 17]");
  EXPECT_EQ(me.Call(kRead), "[1, 20, 0, 0, 0, 0, 0, 0, 0, 2, 30, 31, 32, 33, 34, 35, 36, 37]");
  EXPECT_EQ(me.Call(kRead), "[]");
}

TEST_F(DeviceIo, KeepingOnlyTheNewestLeavesOnePacket) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  me.Call(kDoNotBufferPackets, "1");
  for (uint8_t i = 1; i <= 5; ++i) standin::SendInputReport(pad, {0, i});
  ASSERT_TRUE(WaitForPackets(1));
  // The reader may still be storing: read until the last report has come,
  // never finding two packets kept.
  bool twoKept = false;
  const bool newestCame = Eventually([&] {
    twoKept = me.Call(kNumberOfPacketsInReadBuffer) == "2";
    return twoKept || me.Call(kReadPacket) == "[0, 5, 0, 0, 0, 0, 0, 0, 0]";
  });
  EXPECT_FALSE(twoKept) << "only the newest packet is kept";
  EXPECT_TRUE(newestCame) << "the newest report never came";
}

TEST_F(DeviceIo, DoNotBufferPacketsOnlyTakesTheIntegerOne) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  me.Call(kDoNotBufferPackets, "1");
  me.Call(kDoNotBufferPackets, "2");
  standin::SendInputReport(pad, {0, 1});
  standin::SendInputReport(pad, {0, 2});
  EXPECT_TRUE(WaitForPackets(2));
}

TEST_F(DeviceIo, WriteSendsReportIdZeroThenThePayloadPaddedOrCut) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(me.Call(kWrite, "1, 2, 3"), "\"Ok (in:3 sent:9)\"");
  EXPECT_EQ(me.Call(kWrite, "[1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12]"), "\"Ok (in:12 sent:9)\"");
  EXPECT_EQ(me.Call(kWrite), "\"Ok (in:0 sent:9)\"");
  EXPECT_EQ(me.Call(kWrite, "\"A\", 1"), "\"Ok (in:2 sent:9)\"");
  const auto reports = standin::OutputReports(pad);
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_EQ(reports[0], (std::vector<uint8_t>{0, 1, 2, 3, 0, 0, 0, 0, 0}));
  EXPECT_EQ(reports[1], (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(reports[2], (std::vector<uint8_t>(9, 0)));
  EXPECT_EQ(reports[3], (std::vector<uint8_t>{0, 65, 1, 0, 0, 0, 0, 0, 0}));
}

TEST_F(DeviceIo, ABadArgumentAnywhereWritesNothing) {
  standin::DeviceId pad = 0;
  ScriptInstance& me = OpenPad(pad);
  EXPECT_EQ(me.Call(kWrite, "1, [#a: 1]"), "\"Error :Cannot convert this type of parameter (argument 2)\"");
  EXPECT_EQ(me.Call(kWrite, "[#a: 1], 200"), "\"Error :Cannot convert this type of parameter (argument 1)\"");
  EXPECT_EQ(me.Call(kWrite, "1.5, 2"), "\"Error :Cannot convert this type of parameter (argument 1)\"");
  EXPECT_TRUE(standin::OutputReports(pad).empty());
}

TEST_F(DeviceIo, AWriteToAStalledDeviceTimesOutAndTheNextOneWorks) {
  standin::DeviceId pad = 0;
  ScriptInstance& me = OpenPad(pad);
  EXPECT_EQ(me.Call(kSetWriteTimeout, "20"), "\"Ok\"");
  standin::StallOutput(pad, true);
  EXPECT_EQ(me.Call(kWrite, "1"), "\"Error :Write timed out (1460)\"");
  EXPECT_EQ(me.Call(kIsOpen), "1");
  standin::StallOutput(pad, false);
  EXPECT_EQ(me.Call(kWrite, "2"), "\"Ok (in:1 sent:9)\"");
  EXPECT_EQ(standin::OutputReports(pad), (std::vector<std::vector<uint8_t>>{{0, 2, 0, 0, 0, 0, 0, 0, 0}}))
      << "the write that timed out was cancelled";
}

// A second each by default, a minute at most.
TEST_F(DeviceIo, AWriteWaitsForADeviceThatTakesItsTime) {
  standin::DeviceId pad = 0;
  ScriptInstance& me = OpenPad(pad);
  for (const char* timeout : {"1000", "60000"}) {
    EXPECT_EQ(me.Call(kSetWriteTimeout, timeout), "\"Ok\"");
    standin::StallOutput(pad, true);
    std::thread device([pad, timeout] {
      std::this_thread::sleep_for(std::chrono::milliseconds(timeout[0] == '6' ? 1200 : 50));
      standin::StallOutput(pad, false);
    });
    EXPECT_EQ(me.Call(kWrite, "7"), "\"Ok (in:1 sent:9)\"") << timeout;
    device.join();
  }
  EXPECT_EQ(standin::OutputReports(pad).size(), 2u);
}

// 0 once meant "no limit": a device that stopped taking reports then held
// Director's thread until it was pulled out.
TEST_F(DeviceIo, TheWriteTimeoutIsOneToSixtyThousandMilliseconds) {
  ScriptInstance& me = New();
  const char kRefused[] = "\"Error :The write timeout is a number of milliseconds, 1 to 60000\"";
  for (const char* refused : {"-1", "0", "60001", "\"5\"", ""})
    EXPECT_EQ(me.Call(kSetWriteTimeout, refused), kRefused) << refused;
  EXPECT_EQ(me.Call(kSetWriteTimeout, "1"), "\"Ok\"");
  EXPECT_EQ(me.Call(kSetWriteTimeout, "60000"), "\"Ok\"");
}

// Windows owns a write's report until the write ends; one that no cancel
// ends keeps its report until Close closes the handle, which ends it.
TEST_F(DeviceIo, AWriteThatWillNotBeCancelledBlocksLaterWritesUntilClose) {
  standin::DeviceId pad = 0;
  ScriptInstance& me = OpenPad(pad);
  me.Call(kSetWriteTimeout, "20");
  standin::StallOutput(pad, true);
  standin::FailNext("CancelIoEx", ERROR_INVALID_HANDLE, 0, 100);
  standin::FailNext("CancelIo", ERROR_INVALID_HANDLE, 0, 100);
  EXPECT_EQ(me.Call(kWrite, "1"), "\"Error :Write timed out (1460)\"");
  standin::StallOutput(pad, false);
  EXPECT_EQ(standin::OutputReports(pad).size(), 1u) << "the first write went out after all";
  EXPECT_EQ(me.Call(kWrite, "2"), "\"Ok (in:1 sent:9)\"") << "once it has ended, writing goes on";

  standin::StallOutput(pad, true);
  EXPECT_EQ(me.Call(kWrite, "3"), "\"Error :Write timed out (1460)\"");
  EXPECT_EQ(me.Call(kWrite, "4"), "\"Error :Write timed out (1460)\"") << "the stuck write keeps the report";
  standin::ClearFaults();
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  standin::StallOutput(pad, false);
  EXPECT_EQ(standin::OutputReports(pad).size(), 2u) << "closing the handle ended the stuck write";
}

TEST_F(DeviceIo, AnUnpluggedDeviceFailsWritesWithTheSystemsText) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  standin::Unplug(pad);
  EXPECT_EQ(me.Call(kWrite, "1"), "\"Error :The device is not connected. (1167)\"");
  EXPECT_EQ(me.Call(kIsOpen), "1");
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
}

TEST_F(DeviceIo, TheReaderOfAnUnpluggedDeviceEndsWithoutSpinning) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(standin::LiveThreadCount(), 1u);
  standin::Unplug(pad);
  EXPECT_TRUE(ReadersEnded());
  EXPECT_EQ(standin::LiveThreadCount(), 1u) << "its thread parked";
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
}

TEST_F(DeviceIo, ReopeningClosesTheFirstDeviceAndKeepsItsPackets) {
  const standin::DeviceId pad = Plug();
  standin::DeviceSpec other = Pad();
  other.productId = 0x0002;
  other.product = u"Other";
  Plug(other);
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  standin::SendInputReport(pad, {7});
  ASSERT_TRUE(WaitForPackets(1));
  EXPECT_EQ(me.Call(kOpenByProductName, "\"Other\""), "\"Ok\"");
  EXPECT_TRUE(Eventually([&] { return standin::PendingReadCount(pad) == 0; })) << "the first device's reader ended";
  EXPECT_EQ(me.Call(kReadPacket), "[7, 0, 0, 0, 0, 0, 0, 0, 0]");
}

// A movie's list that the host cannot finish (out of memory) is no answer:
// the movie is told, and the reports stay for the next read.
TEST_F(DeviceIo, AListTheHostCannotFinishIsAnErrorAndTheReportsStay) {
  FailingAppends lists(host, 5, kMoaErr_OutOfMem);
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  standin::SendInputReport(pad, {1});
  standin::SendInputReport(pad, {2});
  ASSERT_TRUE(WaitForPackets(2));
  EXPECT_EQ(me.Call(kRead), "\"Error :Could not make the list of bytes (-2147221502)\"");
  EXPECT_EQ(me.Call(kNumberOfPacketsInReadBuffer), "2");
  lists.Allow(0);
  EXPECT_EQ(me.Call(kFindUsbDevices), "\"Error :Could not make the list of devices (-2147221502)\"");
  lists.Allow(1000);
  EXPECT_EQ(me.Call(kRead), "[1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0]");
  me.Forget();
}

// A full buffer holds far more than one Lingo list should: one Read answers
// whole reports up to 64 KB, and the movie reads on for the rest.
TEST_F(DeviceIo, OneReadAnswersAtMost64KilobytesOfWholeReports) {
  standin::DeviceSpec board = Pad();
  board.caps.InputReportByteLength = 1000;
  const standin::DeviceId device = Plug(board);
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  for (int i = 0; i < 70; ++i) standin::SendInputReport(device, {static_cast<uint8_t>(i)});
  ASSERT_TRUE(WaitForPackets(70));
  std::vector<MoaMmValue> none;
  MoaMmValue first{};
  me.CallWithValues(kRead, none, &first);
  EXPECT_EQ(host.values().Find(first)->items.size(), 65u * 1000u);
  host.values().Release(first);
  EXPECT_EQ(me.Call(kNumberOfPacketsInReadBuffer), "5");
  EXPECT_EQ(me.Call(kReadPacket).substr(0, 5), "[65, ") << "in order";
  EXPECT_EQ(me.Call(kNumberOfItemsInReadBuffer), "4000");
}

// 1024 reports of 64 bytes are exactly the 65,536 one Read may answer: all
// of them, and not one more.
TEST_F(DeviceIo, OneReadAnswersExactly64KilobytesWhenWholeReportsFillThem) {
  standin::DeviceSpec board = Pad();
  board.caps.InputReportByteLength = 64;
  const standin::DeviceId device = Plug(board);
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  // In batches the driver's 512 buffers hold.
  for (int i = 0; i < 1025; ++i) {
    standin::SendInputReport(device, {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)});
    if (i % 256 == 255) {
      ASSERT_TRUE(WaitForPackets(i + 1));
    }
  }
  ASSERT_TRUE(WaitForPackets(1025));
  std::vector<MoaMmValue> none;
  MoaMmValue first{};
  me.CallWithValues(kRead, none, &first);
  EXPECT_EQ(host.values().Find(first)->items.size(), 65536u);
  host.values().Release(first);
  EXPECT_EQ(me.Call(kNumberOfPacketsInReadBuffer), "1");
  EXPECT_EQ(me.Call(kReadPacket).substr(0, 7), "[0, 4, ") << "report 1024, the last";
}

TEST_F(DeviceIo, PacketsReadableAfterClose) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  standin::SendInputReport(pad, {3, 3});
  ASSERT_TRUE(WaitForPackets(1));
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  EXPECT_EQ(me.Call(kReadPacket), "[3, 3, 0, 0, 0, 0, 0, 0, 0]");
}

TEST_F(DeviceIo, CloseDuringABurstLosesNothingItStoredAndLeavesNothingOpen) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  std::atomic<bool> sending{true};
  std::thread device([&] {
    for (uint8_t i = 0; sending; ++i) standin::SendInputReport(pad, {i});
  });
  ASSERT_TRUE(Eventually([&] { return me.Call(kNumberOfPacketsInReadBuffer) != "0"; })) << "the reader stores";
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  sending = false;
  device.join();
  EXPECT_TRUE(ReadersEnded());
  EXPECT_NE(me.Call(kNumberOfPacketsInReadBuffer), "0");
}

TEST_F(DeviceIo, ForgetClosesAnOpenDevice) {
  Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  me.Forget();
  EXPECT_TRUE(ReadersEnded());
  EXPECT_TRUE(OnlyParkedThreadsHoldHandles()) << standin::DescribeOpenHandles();
}

TEST_F(DeviceIo, OpeningAndClosingTenThousandTimesLeavesNothingBehind) {
  Plug();
  ScriptInstance& me = New();
  for (int i = 0; i < 10000; ++i) {
    ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
    ASSERT_EQ(me.Call(kClose), "\"Ok\"");
  }
  EXPECT_TRUE(ReadersEnded());
  EXPECT_TRUE(OnlyParkedThreadsHoldHandles()) << standin::DescribeOpenHandles();
}

struct OpenFailure {
  const char* function;
  uint32_t error;
  unsigned skip;
  const char* answer;
};

class OpenFailures : public SimulatedDevices, public testing::WithParamInterface<OpenFailure> {};

// Each step of an open that can fail, and what the script is told. A failure
// after the match leaves the device open, without a reader, until Close.
TEST_P(OpenFailures, AnswerTheStepsMessageAndReleaseEverythingAtClose) {
  const OpenFailure& failure = GetParam();
  Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  standin::FailNext(failure.function, failure.error, failure.skip);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), failure.answer);
  EXPECT_EQ(me.Call(kIsOpen), "1");
  EXPECT_EQ(standin::LiveThreadCount(), 0u);
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  EXPECT_EQ(standin::OpenHandleCount(), 0u) << standin::DescribeOpenHandles();
  // The next open starts afresh and succeeds.
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, OpenFailures,
    testing::Values(OpenFailure{"CreateFileW", 2, 1, "\"Error :Could not open an input pipe\""},
                    OpenFailure{"CreateEventA", 8, 0, "\"Error :Could not create an event\""},
                    OpenFailure{"CreateEventA", 8, 1, "\"Error :Listen could not create stop event\""},
                    OpenFailure{"CreateThread", 8, 0, "\"Error :Could not start the reader thread (8)\""},
                    // A reader that could not hold the module loaded must not run.
                    OpenFailure{"GetModuleHandleExA", 8, 0, "\"Error :Could not start the reader thread (8)\""}));

// The movie keeps the fixed texts it has always had; a debugger learns why.
TEST_F(DeviceIo, AFixedErrorTextSendsTheSystemsReasonToTheDebugger) {
  Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  standin::FailNext("CreateFileW", ERROR_ACCESS_DENIED, 1);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Error :Could not open an input pipe\"");
  const std::vector<std::string> lines = standin::DebugOutput();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("HidBridge: Could not open an input pipe: ", 0), 0u) << lines.back();
  EXPECT_NE(lines.back().find(" (5)\n"), std::string::npos) << lines.back();
}

TEST_F(DeviceIo, FailedCapabilitiesAreReportedWithTheirStatus) {
  Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  standin::FailNext("HidP_GetCaps", 0xC0110001u);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Error :Failed to get device capabilities (-1072627711)\"");
  EXPECT_EQ(me.Call(kGetCapabilities).find("#InputReportByteLength: 9"), std::string::npos);
}

TEST_F(DeviceIo, AnOpenAfterAFailedOneReleasesWhatThatLeftBehind) {
  Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  standin::FailNext("CreateEventA", 8, 1);
  me.Call(kOpenById, kPadIds);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(me.Call(kClose), "\"Ok\"");
  EXPECT_TRUE(ReadersEnded());
  EXPECT_TRUE(OnlyParkedThreadsHoldHandles()) << standin::DescribeOpenHandles();
}


// What an open that failed after its match holds is let go by the next open
// of the object, whatever that open finds: one that finds nothing once left
// it held, and no other program could have the device to itself.
TEST_F(DeviceIo, AnOpenThatFindsNothingLetsGoOfWhatAFailedOneHeld) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  standin::FailNext("CreateThread", 8);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Error :Could not start the reader thread (8)\"");
  EXPECT_EQ(me.Call(kIsOpen), "1");
  EXPECT_EQ(me.Call(kOpenById, "1, 2"),
            "\"Error :Open failed - did not find device that matched the vendor/product ids\"");
  EXPECT_EQ(me.Call(kIsOpen), "0");
  ScriptInstance elsewhere(host);
  EXPECT_EQ(elsewhere.Call(kOpenByPath, "\"" + standin::DevicePath(pad) + "\", 1"), "\"Ok\"");
  elsewhere.Call(kClose);
  elsewhere.Forget();
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Texts of every length the host holds reach the device whole, and payloads
// fill a report of any length: once a 15,360-character string added nothing,
// and payloads were cut at 32,768 bytes, both answered "Ok".
TEST_F(DeviceIo, LongTextsAndPayloadsReachTheDeviceWhole) {
  // The longest reports a collection can have.
  standin::DeviceSpec longReports = Pad();
  longReports.caps.OutputReportByteLength = 65535;
  longReports.caps.FeatureReportByteLength = 65535;
  const standin::DeviceId board = Plug(longReports);
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  const std::string text(40000, 'x');
  EXPECT_EQ(me.Call(kWrite, Quoted(text)), "\"Ok (in:40000 sent:65535)\"");
  EXPECT_EQ(me.Call(kSetFeatureReport, "0, " + Quoted(text)), "\"Ok (in:40000 sent:65535)\"");
  // Two texts that pass the payload's room together: the second is cut
  // inside itself, and the report holds all it can.
  EXPECT_EQ(me.Call(kWriteReport, "0, " + Quoted(text) + ", " + Quoted(std::string(30000, 'y'))),
            "\"Ok (in:65535 sent:65535)\"");
  const std::vector<standin::ReceivedReport> received = standin::ReceivedReports(board);
  ASSERT_EQ(received.size(), 3u);
  for (const standin::ReceivedReport& report : received) {
    ASSERT_EQ(report.bytes.size(), 65535u);
    EXPECT_EQ(report.bytes[0], 0);
    EXPECT_EQ(report.bytes[40000], 'x');
  }
  EXPECT_EQ(received[0].bytes[40001], 0) << "padded with zeros after the text";
  EXPECT_EQ(received[2].bytes[40001], 'y');
  EXPECT_EQ(received[2].bytes[65534], 'y') << "the last byte of the report is the payload's";
  // A text exactly as long as the longest one a fixed buffer once held.
  EXPECT_EQ(me.Call(kWrite, Quoted(std::string(15359, 'z'))), "\"Ok (in:15359 sent:65535)\"");
  EXPECT_EQ(standin::ReceivedReports(board).back().bytes[15359], 'z');
}

}  // namespace

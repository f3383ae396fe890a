// Reading and writing reports through device files, overlapped and not, and
// what unplugging and cancelling do to them.
#include <chrono>
#include <thread>

#include "standin_fixture.h"

namespace {

using Report = std::vector<std::uint8_t>;

class DeviceIo : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    device = standin::PlugDevice(Board());
    file = Open(device);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  void TearDown() override {
    CloseHandle(overlapped.hEvent);
    CloseHandle(file);
    StandinTest::TearDown();
  }

  BOOL StartRead() { return ReadFile(file, buffer, sizeof buffer, nullptr, &overlapped); }
  Report Received(DWORD bytes) const { return Report(buffer, buffer + bytes); }

  standin::DeviceId device = 0;
  HANDLE file = INVALID_HANDLE_VALUE;
  OVERLAPPED overlapped{};
  BYTE buffer[64] = {};
};

TEST_F(DeviceIo, PendingReadCompletesWhenAReportArrives) {
  SetEvent(overlapped.hEvent);
  EXPECT_FALSE(StartRead());
  EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_TIMEOUT) << "ReadFile resets the event";
  DWORD bytes = 99;
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, FALSE));
  EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);

  std::thread device_thread([this] { standin::SendInputReport(device, {1, 2, 3}); });
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 5000), WAIT_OBJECT_0);
  device_thread.join();
  EXPECT_TRUE(GetOverlappedResult(file, &overlapped, &bytes, FALSE));
  EXPECT_EQ(bytes, 8u) << "a whole input report, zero-padded";
  EXPECT_EQ(Received(bytes), (Report{1, 2, 3, 0, 0, 0, 0, 0}));
  EXPECT_EQ(overlapped.InternalHigh, 8u);
}

TEST_F(DeviceIo, QueuedReportCompletesTheReadAtOnce) {
  ASSERT_TRUE(standin::SendInputReport(device, {9, 8, 7, 6, 5, 4, 3, 2}));
  DWORD bytes = 0;
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &bytes, &overlapped));
  EXPECT_EQ(bytes, 8u);
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_OBJECT_0);
  EXPECT_EQ(Received(bytes), (Report{9, 8, 7, 6, 5, 4, 3, 2}));
}

TEST_F(DeviceIo, ReportsLongerThanTheInputLengthAreRefused) {
  EXPECT_FALSE(standin::SendInputReport(device, Report(9, 1)));
  EXPECT_FALSE(StartRead());
  EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
  CancelIo(file);
}

TEST_F(DeviceIo, CancelCompletesThePendingReadAsAborted) {
  ASSERT_FALSE(StartRead());
  EXPECT_TRUE(CancelIoEx(file, &overlapped));
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_OBJECT_0);
  DWORD bytes = 99;
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
  EXPECT_EQ(bytes, 0u);
  EXPECT_FALSE(CancelIoEx(file, &overlapped)) << "nothing left to cancel";
  EXPECT_EQ(GetLastError(), ERROR_NOT_FOUND);
  EXPECT_TRUE(CancelIo(file)) << "CancelIo does not mind";

  ASSERT_FALSE(StartRead());
  EXPECT_TRUE(CancelIo(file));
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
  EXPECT_TRUE(standin::SendInputReport(device, {5}));
  EXPECT_TRUE(StartRead()) << "the report went to the queue, not to the cancelled read";
}

DWORD WINAPI CancelFromAnotherThread(LPVOID file) { return CancelIo(static_cast<HANDLE>(file)); }

TEST_F(DeviceIo, CancelIoLeavesOtherThreadsReadsAloneAndCancelIoExDoesNot) {
  ASSERT_FALSE(StartRead());
  HANDLE other = CreateThread(nullptr, 0, CancelFromAnotherThread, file, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  CloseHandle(other);
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_TIMEOUT) << "still pending";
  std::thread([this] { EXPECT_TRUE(CancelIoEx(file, &overlapped)); }).join();
  DWORD bytes = 0;
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
}

TEST_F(DeviceIo, ClosingTheFileAbortsItsPendingRead) {
  ASSERT_FALSE(StartRead());
  HANDLE other = Open(device);
  CloseHandle(file);
  file = other;
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_OBJECT_0);
  EXPECT_EQ(static_cast<DWORD>(overlapped.Internal), 0xC0000120u) << "STATUS_CANCELLED";
}

TEST_F(DeviceIo, UnplugFailsPendingAndLaterIoWithDeviceNotConnected) {
  ASSERT_FALSE(StartRead());
  standin::Unplug(device);
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_OBJECT_0);
  DWORD bytes = 0;
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_FALSE(StartRead());
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  const BYTE out[4] = {};
  EXPECT_FALSE(WriteFile(file, out, 4, &bytes, &overlapped));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_FALSE(standin::SendInputReport(device, {1}));
  EXPECT_EQ(Open(device), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(DeviceIo, FullQueueDropsTheOldestReports) {
  for (std::uint8_t i = 0; i < 40; ++i) ASSERT_TRUE(standin::SendInputReport(device, {i}));
  EXPECT_EQ(standin::DroppedInputReports(device), 0u) << "until the handle reads, its losses are nobody's";
  DWORD bytes = 0;
  ASSERT_TRUE(StartRead());
  EXPECT_TRUE(GetOverlappedResult(file, &overlapped, &bytes, FALSE));
  EXPECT_EQ(buffer[0], 8) << "reports 0..7 were dropped";
  EXPECT_EQ(standin::DroppedInputReports(device), 8u);
  for (int i = 1; i < 32; ++i) ASSERT_TRUE(StartRead());
  EXPECT_EQ(buffer[0], 39);
  EXPECT_FALSE(StartRead());
  CancelIo(file);
  CloseHandle(file);
  file = Open(device);
  EXPECT_EQ(standin::DroppedInputReports(device), 8u) << "a closed handle's losses still count";
}

// As the HID class driver keeps them: each open handle has its own queue,
// sized on its own, and receives every report, waiting reads first.
TEST_F(DeviceIo, EveryHandleReceivesEveryReportInItsOwnQueue) {
  HANDLE other = Open(device);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(HidD_SetNumInputBuffers(other, 2));
  ULONG buffers = 0;
  ASSERT_TRUE(HidD_GetNumInputBuffers(file, &buffers));
  EXPECT_EQ(buffers, 32u) << "the other handle's size is its own";
  ASSERT_FALSE(StartRead());
  EXPECT_EQ(standin::PendingReadCount(device), 1u);
  for (std::uint8_t i = 1; i <= 4; ++i) ASSERT_TRUE(standin::SendInputReport(device, {i}));
  DWORD bytes = 0;
  ASSERT_TRUE(GetOverlappedResult(file, &overlapped, &bytes, FALSE));
  EXPECT_EQ(buffer[0], 1) << "the waiting read took the first";
  for (std::uint8_t i = 2; i <= 4; ++i) {
    ASSERT_TRUE(StartRead());
    EXPECT_EQ(buffer[0], i);
  }
  BYTE otherBuffer[64] = {};
  OVERLAPPED otherRead{};
  otherRead.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (const int expected : {3, 4}) {
    ASSERT_TRUE(ReadFile(other, otherBuffer, sizeof otherBuffer, nullptr, &otherRead));
    EXPECT_EQ(otherBuffer[0], expected) << "two buffers keep the last two";
  }
  EXPECT_FALSE(ReadFile(other, otherBuffer, sizeof otherBuffer, nullptr, &otherRead));
  EXPECT_EQ(standin::DroppedInputReports(device), 2u);
  CancelIo(other);
  CloseHandle(otherRead.hEvent);
  CloseHandle(other);
}

TEST_F(DeviceIo, ReadBufferShorterThanAReportIsRefused) {
  standin::SendInputReport(device, {1});
  EXPECT_FALSE(ReadFile(file, buffer, 7, nullptr, &overlapped));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
  EXPECT_FALSE(ReadFile(file, buffer, sizeof buffer, nullptr, nullptr)) << "overlapped handle, no OVERLAPPED";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(DeviceIo, SynchronousReadBlocksUntilAReportOrUnplug) {
  HANDLE blocking = Open(device, 0);
  std::thread sender([this] {
    EXPECT_TRUE(Eventually([] { return standin::BlockedThreadCount() == 1; }));
    standin::SendInputReport(device, {4, 2});
  });
  DWORD bytes = 0;
  EXPECT_TRUE(ReadFile(blocking, buffer, sizeof buffer, &bytes, nullptr));
  EXPECT_EQ(Received(bytes), (Report{4, 2, 0, 0, 0, 0, 0, 0}));
  sender.join();

  std::thread unplugger([this] {
    EXPECT_TRUE(Eventually([] { return standin::BlockedThreadCount() == 1; }));
    standin::Unplug(device);
  });
  EXPECT_FALSE(ReadFile(blocking, buffer, sizeof buffer, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  unplugger.join();
  CloseHandle(blocking);
}

TEST_F(DeviceIo, WritesOfTheOutputLengthAreRecordedOthersFailAsUnderWine) {
  const BYTE out[5] = {0x0, 0xB, 0xC, 0xD, 0xE};
  DWORD bytes = 0;
  EXPECT_TRUE(WriteFile(file, out, 4, &bytes, &overlapped));
  EXPECT_EQ(bytes, 4u);
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_OBJECT_0);
  EXPECT_FALSE(WriteFile(file, out, 5, &bytes, &overlapped));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(WriteFile(file, out, 3, &bytes, &overlapped));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(WriteFile(file, out, 0, &bytes, &overlapped));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
  EXPECT_EQ(standin::OutputReports(device), (std::vector<Report>{{0x0, 0xB, 0xC, 0xD}}));
}

TEST_F(DeviceIo, AStalledDeviceKeepsWritesPendingUntilItTakesThemAgain) {
  standin::StallOutput(device, true);
  const BYTE first[4] = {0, 2, 3, 4};
  const BYTE second[4] = {0, 6, 7, 8};
  OVERLAPPED later{};
  later.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  DWORD bytes = 0;
  EXPECT_FALSE(WriteFile(file, first, 4, nullptr, &overlapped));
  EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
  EXPECT_FALSE(WriteFile(file, second, 4, nullptr, &later));
  EXPECT_EQ(WaitForSingleObject(later.hEvent, 0), WAIT_TIMEOUT) << "WriteFile reset the event";
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, FALSE));
  EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);
  EXPECT_TRUE(standin::OutputReports(device).empty());

  standin::StallOutput(device, false);
  EXPECT_TRUE(GetOverlappedResult(file, &overlapped, &bytes, FALSE));
  EXPECT_EQ(bytes, 4u);
  EXPECT_TRUE(GetOverlappedResult(file, &later, &bytes, FALSE));
  EXPECT_EQ(standin::OutputReports(device), (std::vector<Report>{{0, 2, 3, 4}, {0, 6, 7, 8}}));
  CloseHandle(later.hEvent);
}

TEST_F(DeviceIo, AWriteToAStalledDeviceEndsWhenCancelledClosedOrUnplugged) {
  standin::StallOutput(device, true);
  const BYTE report[4] = {};
  DWORD bytes = 0;
  ASSERT_FALSE(WriteFile(file, report, 4, nullptr, &overlapped));
  EXPECT_TRUE(CancelIo(file));
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);

  HANDLE other = Open(device);
  OVERLAPPED otherWrite{};
  otherWrite.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_FALSE(WriteFile(other, report, 4, nullptr, &otherWrite));
  CloseHandle(other);
  EXPECT_EQ(static_cast<DWORD>(otherWrite.Internal), 0xC0000120u) << "STATUS_CANCELLED";

  ASSERT_FALSE(WriteFile(file, report, 4, nullptr, &overlapped));
  standin::Unplug(device);
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_TRUE(standin::OutputReports(device).empty());
  CloseHandle(otherWrite.hEvent);
}

TEST_F(DeviceIo, ASynchronousWriteWaitsForAStalledDevice) {
  HANDLE blocking = Open(device, 0);
  standin::StallOutput(device, true);
  std::thread unstaller([this] {
    EXPECT_TRUE(Eventually([] { return standin::BlockedThreadCount() == 1; }));
    standin::StallOutput(device, false);
  });
  const BYTE report[4] = {0, 9, 9, 9};
  DWORD bytes = 0;
  EXPECT_TRUE(WriteFile(blocking, report, 4, &bytes, nullptr));
  EXPECT_EQ(bytes, 4u);
  unstaller.join();
  EXPECT_EQ(standin::OutputReports(device).size(), 1u);
  CloseHandle(blocking);
}

TEST_F(DeviceIo, HandleWithoutAccessRightsCannotReadOrWrite) {
  HANDLE queryOnly = CreateFileA(standin::DevicePath(device).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(queryOnly, INVALID_HANDLE_VALUE);
  DWORD bytes = 0;
  EXPECT_FALSE(ReadFile(queryOnly, buffer, sizeof buffer, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(WriteFile(queryOnly, buffer, 4, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(queryOnly);
}

}  // namespace

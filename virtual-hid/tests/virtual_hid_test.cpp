// The virtual device as applications see it through Wine's hid.dll,
// setupapi and hidclass: what each check relies on is what Windows does
// with a real USB HID device, except where Wine 8 is said to differ.
#include <windows.h>

#include <setupapi.h>

#include <string>
#include <vector>

extern "C" {
#include <hidsdi.h>
// After hidsdi.h, which brings the usage types it needs.
#include <hidclass.h>
}

#include "minitest.h"
#include "virtual_hid.h"

namespace {

using Bytes = std::vector<BYTE>;
using vhid::Arrival;
using vhid::ReceivedReport;

// Vendor page, 8 bytes in, out and feature, no report IDs.
const Bytes kUnnumberedDescriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF,
                                     0x00, 0x75, 0x08, 0x95, 0x08, 0x09, 0x02, 0x81, 0x02, 0x09, 0x03,
                                     0x91, 0x02, 0x09, 0x04, 0xB1, 0x02, 0xC0};
// Input 1 (3 bytes) and 2 (7), output 3 (5), features 4 (2) and 5 (6).
const Bytes kNumberedDescriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75,
                                   0x08, 0x85, 0x01, 0x95, 0x03, 0x09, 0x02, 0x81, 0x02, 0x85, 0x02, 0x95, 0x07,
                                   0x09, 0x03, 0x81, 0x02, 0x85, 0x03, 0x95, 0x05, 0x09, 0x04, 0x91, 0x02, 0x85,
                                   0x04, 0x95, 0x02, 0x09, 0x05, 0xB1, 0x02, 0x85, 0x05, 0x95, 0x06, 0x09, 0x06,
                                   0xB1, 0x02, 0xC0};

vhid::DeviceSpec UnnumberedPad() {
  vhid::DeviceSpec spec;
  spec.vendorId = 0x1209;
  spec.productId = 0x0001;
  spec.versionNumber = 0x0100;
  spec.manufacturer = L"HidBridge";
  spec.product = L"Virtual pad";
  spec.serialNumber = L"VP-1";
  spec.reportDescriptor = kUnnumberedDescriptor;
  return spec;
}

vhid::DeviceSpec NumberedBoard() {
  vhid::DeviceSpec spec;
  spec.instance = L"board";
  spec.vendorId = 0x1209;
  spec.productId = 0x0002;
  spec.versionNumber = 0x0207;
  spec.manufacturer = L"HidBridge";
  spec.product = L"Numbered board";
  spec.reportDescriptor = kNumberedDescriptor;
  return spec;
}

class Handle {
 public:
  explicit Handle(const std::wstring& path, DWORD flags = FILE_FLAG_OVERLAPPED)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, flags, nullptr)) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  operator HANDLE() const { return handle_; }

 private:
  HANDLE handle_;
};

// One overlapped request with its buffer; ends it before the buffer goes.
class Request {
 public:
  Request(HANDLE file, size_t size) : file_(file), buffer_(size) {
    overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  ~Request() {
    if (started_ && !HasOverlappedIoCompleted(&overlapped_)) {
      CancelIoEx(file_, &overlapped_);
      WaitForSingleObject(overlapped_.hEvent, 1000);
    }
    CloseHandle(overlapped_.hEvent);
  }
  Request(const Request&) = delete;
  Request& operator=(const Request&) = delete;

  // ERROR_IO_PENDING while it waits.
  DWORD Read() { return Started(ReadFile(file_, buffer_.data(), Size(), nullptr, &overlapped_)); }
  DWORD Write(const Bytes& report) {
    buffer_ = report;
    return Started(WriteFile(file_, buffer_.data(), Size(), nullptr, &overlapped_));
  }
  DWORD Control(DWORD code, const Bytes& report) {
    buffer_ = report;
    return Started(DeviceIoControl(file_, code, buffer_.data(), Size(), nullptr, 0, nullptr, &overlapped_));
  }
  DWORD ControlOut(DWORD code, const Bytes& report) {
    buffer_ = report;
    return Started(DeviceIoControl(file_, code, nullptr, 0, buffer_.data(), Size(), nullptr, &overlapped_));
  }
  bool EndsWithin(DWORD ms) const { return WaitForSingleObject(overlapped_.hEvent, ms) == WAIT_OBJECT_0; }
  // The error it ended with, and its byte count in `bytes`.
  DWORD Result(DWORD* bytes) {
    return GetOverlappedResult(file_, &overlapped_, bytes, FALSE) ? ERROR_SUCCESS : GetLastError();
  }
  const Bytes& buffer() const { return buffer_; }

 private:
  DWORD Size() const { return static_cast<DWORD>(buffer_.size()); }
  DWORD Started(BOOL done) {
    started_ = true;
    return done ? ERROR_SUCCESS : GetLastError();
  }
  HANDLE file_;
  Bytes buffer_;
  OVERLAPPED overlapped_{};
  bool started_ = false;
};

std::vector<std::wstring> HidInterfacePaths() {
  GUID hid;
  HidD_GetHidGuid(&hid);
  std::vector<std::wstring> paths;
  HDEVINFO set = SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hid, i, &data); ++i) {
    union {
      SP_DEVICE_INTERFACE_DETAIL_DATA_W detail;
      BYTE storage[1024];
    } buffer;
    buffer.detail.cbSize = sizeof buffer.detail;
    if (SetupDiGetDeviceInterfaceDetailW(set, &data, &buffer.detail, sizeof buffer, nullptr, nullptr))
      paths.push_back(buffer.detail.DevicePath);
  }
  SetupDiDestroyDeviceInfoList(set);
  return paths;
}

bool Listed(const std::wstring& path) {
  for (const auto& listed : HidInterfacePaths())
    if (listed == path) return true;
  return false;
}

std::wstring Text(BOOLEAN(__stdcall* get)(HANDLE, PVOID, ULONG), HANDLE device) {
  wchar_t text[128] = {};
  return get(device, text, sizeof text) ? text : L"(none)";
}

HIDP_CAPS Caps(HANDLE device) {
  HIDP_CAPS caps{};
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (HidD_GetPreparsedData(device, &preparsed)) {
    HidP_GetCaps(preparsed, &caps);
    HidD_FreePreparsedData(preparsed);
  }
  return caps;
}

std::vector<ReceivedReport> Received(const vhid::PluggedDevice& device) {
  std::vector<ReceivedReport> reports;
  if (DWORD error = device.control().PopReceived(&reports)) ADD_FAILURE() << "PopReceived: error" << error;
  return reports;
}

Bytes Prefix(const Bytes& bytes, size_t length) { return Bytes(bytes.begin(), bytes.begin() + length); }

// A run that ends without unplugging leaves its devices in the prefix, and
// Wine starts them again with the prefix: the next run removes them, and
// may plug the same devices again.
TEST(VirtualHidLeftovers, RemoveAllDevicesClearsWhatACrashedRunLeft) {
  ASSERT_EQ(vhid::RemoveAllDevices(), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(vhid::PlugDevice(UnnumberedPad()), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(vhid::PlugDevice(NumberedBoard()), static_cast<DWORD>(ERROR_SUCCESS));
  std::vector<std::wstring> devices;
  ASSERT_EQ(vhid::ListDevices(&devices), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(devices.size(), 2u);

  EXPECT_EQ(vhid::RemoveAllDevices(), static_cast<DWORD>(ERROR_SUCCESS));
  devices.clear();
  EXPECT_EQ(vhid::ListDevices(&devices), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(devices.empty());
  std::wstring path;
  EXPECT_EQ(vhid::FindHidPath(vhid::InstanceId(UnnumberedPad()), &path), static_cast<DWORD>(ERROR_NOT_FOUND));

  vhid::PluggedDevice pad(UnnumberedPad());
  EXPECT_EQ(pad.Plug(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(pad.Unplug(), static_cast<DWORD>(ERROR_SUCCESS));
}

// Each test starts from a prefix without virtual devices (clearing what a
// crashed run left) and leaves none behind.
class VirtualHid : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(vhid::RemoveAllDevices(), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(pad.Plug(), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(board.Plug(), static_cast<DWORD>(ERROR_SUCCESS));
  }
  void TearDown() override {
    EXPECT_EQ(pad.Unplug(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(board.Unplug(), static_cast<DWORD>(ERROR_SUCCESS));
    std::vector<std::wstring> left;
    EXPECT_EQ(vhid::ListDevices(&left), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(left.empty()) << "virtual devices left in the prefix";
  }
  vhid::PluggedDevice pad{UnnumberedPad()};
  vhid::PluggedDevice board{NumberedBoard()};
};

// The setup API lists each HID collection under GUID_DEVINTERFACE_HID, and
// hid.dll answers the device descriptor's ids and its string descriptors.
TEST_F(VirtualHid, DevicesAreListedWithTheirIdsStringsAndReportLengths) {
  EXPECT_TRUE(pad.path() == L"\\\\?\\hid#vid_1209&pid_0001#0000#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_TRUE(Listed(pad.path()));
  EXPECT_TRUE(Listed(board.path()));

  Handle padHandle(pad.path()), boardHandle(board.path());
  ASSERT_NE(static_cast<HANDLE>(padHandle), INVALID_HANDLE_VALUE);
  ASSERT_NE(static_cast<HANDLE>(boardHandle), INVALID_HANDLE_VALUE);
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  ASSERT_TRUE(HidD_GetAttributes(padHandle, &attributes));
  EXPECT_EQ(attributes.VendorID, 0x1209);
  EXPECT_EQ(attributes.ProductID, 0x0001);
  EXPECT_EQ(attributes.VersionNumber, 0x0100);
  ASSERT_TRUE(HidD_GetAttributes(boardHandle, &attributes));
  EXPECT_EQ(attributes.ProductID, 0x0002);
  EXPECT_EQ(attributes.VersionNumber, 0x0207);

  EXPECT_TRUE(Text(HidD_GetManufacturerString, padHandle) == L"HidBridge");
  EXPECT_TRUE(Text(HidD_GetProductString, padHandle) == L"Virtual pad");
  EXPECT_TRUE(Text(HidD_GetSerialNumberString, padHandle) == L"VP-1");
  EXPECT_TRUE(Text(HidD_GetProductString, boardHandle) == L"Numbered board");
  EXPECT_TRUE(Text(HidD_GetSerialNumberString, boardHandle) == L"(none)") << "a device without a serial number";

  // Report lengths count the report ID byte, 0 for unnumbered reports.
  const HIDP_CAPS padCaps = Caps(padHandle), boardCaps = Caps(boardHandle);
  EXPECT_EQ(padCaps.UsagePage, 0xFF00);
  EXPECT_EQ(padCaps.InputReportByteLength, 9);
  EXPECT_EQ(padCaps.OutputReportByteLength, 9);
  EXPECT_EQ(padCaps.FeatureReportByteLength, 9);
  EXPECT_EQ(boardCaps.InputReportByteLength, 8);
  EXPECT_EQ(boardCaps.OutputReportByteLength, 6);
  EXPECT_EQ(boardCaps.FeatureReportByteLength, 7);
}

// ReadFile waits for the device's next input report and returns one report
// per read, in the order the device sent them.
TEST_F(VirtualHid, ReadFileGetsEachPushedReportByteExact) {
  Handle padHandle(pad.path()), boardHandle(board.path());
  Request waiting(padHandle, 9);
  ASSERT_EQ(waiting.Read(), static_cast<DWORD>(ERROR_IO_PENDING)) << "no report yet: the read waits";
  const Bytes first = {0x00, 1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(pad.control().PushInput(first), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(waiting.EndsWithin(2000));
  DWORD bytes = 0;
  EXPECT_EQ(waiting.Result(&bytes), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(bytes, 9u);
  EXPECT_TRUE(waiting.buffer() == first);

  const Bytes seven = {0x02, 10, 11, 12, 13, 14, 15, 16}, three = {0x01, 20, 21, 22};
  ASSERT_EQ(board.control().PushInput(seven), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(board.control().PushInput(three), static_cast<DWORD>(ERROR_SUCCESS));
  for (const Bytes* expected : {&seven, &three}) {
    Request read(boardHandle, 8);
    const DWORD started = read.Read();
    EXPECT_TRUE(started == ERROR_SUCCESS || started == ERROR_IO_PENDING);
    ASSERT_TRUE(read.EndsWithin(2000));
    EXPECT_EQ(read.Result(&bytes), static_cast<DWORD>(ERROR_SUCCESS));
    // Wine hands out a numbered report shorter than the longest input
    // report padded with zeros to that length.
    EXPECT_EQ(bytes, 8u);
    EXPECT_TRUE(Prefix(read.buffer(), expected->size()) == *expected);
    for (size_t i = expected->size(); i < 8; ++i) EXPECT_EQ(read.buffer()[i], 0);
  }
}

// WriteFile goes out on the interrupt OUT pipe, HidD_SetOutputReport and
// HidD_SetFeature as SET_REPORT requests; each reaches the device as
// written, ID first. hidclass refuses a report ID the descriptor does not
// declare for that kind of report, before the device sees it.
TEST_F(VirtualHid, WritesReachTheDeviceByteExactWithHowTheyCame) {
  Handle padHandle(pad.path(), 0), boardHandle(board.path(), 0);
  Bytes padWrite = {0x00, 1, 2, 3, 4, 5, 6, 7, 8}, padOutput = {0x00, 9, 8, 7, 6, 5, 4, 3, 2},
        padFeature = {0x00, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7};
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(padHandle, padWrite.data(), 9, &written, nullptr));
  EXPECT_EQ(written, 9u);
  EXPECT_TRUE(HidD_SetOutputReport(padHandle, padOutput.data(), 9));
  EXPECT_TRUE(HidD_SetFeature(padHandle, padFeature.data(), 9));
  EXPECT_TRUE(Received(pad) == (std::vector<ReceivedReport>{{Arrival::InterruptWrite, padWrite},
                                                            {Arrival::OutputReport, padOutput},
                                                            {Arrival::SetFeature, padFeature}}));

  Bytes boardWrite = {0x03, 1, 2, 3, 4, 5}, boardFeature = {0x05, 6, 5, 4, 3, 2, 1, 0};
  EXPECT_TRUE(WriteFile(boardHandle, boardWrite.data(), 6, &written, nullptr));
  // Windows counts the whole report written; Wine's hidclass counts one
  // byte less for a numbered report.
  EXPECT_EQ(written, 5u);
  EXPECT_TRUE(HidD_SetOutputReport(boardHandle, boardWrite.data(), 6));
  EXPECT_TRUE(HidD_SetFeature(boardHandle, boardFeature.data(), 7));
  Bytes undeclared = {0x04, 1, 2, 3, 4, 5};
  EXPECT_FALSE(HidD_SetOutputReport(boardHandle, undeclared.data(), 6)) << "4 is a feature report";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(Received(board) == (std::vector<ReceivedReport>{{Arrival::InterruptWrite, boardWrite},
                                                              {Arrival::OutputReport, boardWrite},
                                                              {Arrival::SetFeature, Prefix(boardFeature, 7)}}));
}

// HidD_GetFeature and HidD_GetInputReport are GET_REPORT requests: the
// device answers with what it holds for that ID, and a feature report the
// host sets is what it answers next.
TEST_F(VirtualHid, GetReportsAnswerWhatTheDeviceHolds) {
  Handle padHandle(pad.path(), 0), boardHandle(board.path(), 0);
  ASSERT_EQ(board.control().PresetFeature({0x04, 0xAB, 0xCD}), static_cast<DWORD>(ERROR_SUCCESS));
  Bytes feature = {0x04, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(HidD_GetFeature(boardHandle, feature.data(), 7));
  EXPECT_TRUE(Prefix(feature, 3) == (Bytes{0x04, 0xAB, 0xCD}));
  Bytes update = {0x04, 0x12, 0x34};
  ASSERT_TRUE(HidD_SetFeature(boardHandle, update.data(), 3));
  feature = {0x04, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(HidD_GetFeature(boardHandle, feature.data(), 7));
  EXPECT_TRUE(Prefix(feature, 3) == update);

  Bytes neverSet = {0x05, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  ASSERT_TRUE(HidD_GetFeature(boardHandle, neverSet.data(), 7));
  EXPECT_TRUE(neverSet == (Bytes{0x05, 0, 0, 0, 0, 0, 0})) << "a report the device never had reads as zeros";

  const Bytes padFeature = {0x00, 8, 7, 6, 5, 4, 3, 2, 1};
  ASSERT_EQ(pad.control().PresetFeature(padFeature), static_cast<DWORD>(ERROR_SUCCESS));
  Bytes answer(9, 0);
  ASSERT_TRUE(HidD_GetFeature(padHandle, answer.data(), 9));
  EXPECT_TRUE(answer == padFeature);

  ASSERT_EQ(board.control().PushInput({0x01, 7, 8, 9}), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(board.control().PushInput({0x02, 1, 1, 1, 1, 1, 1, 1}), static_cast<DWORD>(ERROR_SUCCESS));
  Bytes input = {0x01, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(HidD_GetInputReport(boardHandle, input.data(), 8));
  EXPECT_TRUE(Prefix(input, 4) == (Bytes{0x01, 7, 8, 9}));
}

// A device that does not take a request leaves it pending: the caller can
// cancel it (CancelIoEx ends it with ERROR_OPERATION_ABORTED), and the
// requests it takes later reach it in the order they were made.
TEST_F(VirtualHid, AStalledRequestWaitsUntilUnstalledOrCancelled) {
  Handle padHandle(pad.path());
  ASSERT_EQ(pad.control().Stall(), static_cast<DWORD>(ERROR_SUCCESS));
  const Bytes report = {0x00, 1, 2, 3, 4, 5, 6, 7, 8};
  {
    Request cancelled(padHandle, 9);
    ASSERT_EQ(cancelled.Write(report), static_cast<DWORD>(ERROR_IO_PENDING));
    EXPECT_FALSE(cancelled.EndsWithin(50));
    EXPECT_TRUE(CancelIoEx(padHandle, nullptr));
    ASSERT_TRUE(cancelled.EndsWithin(2000));
    DWORD bytes = 0;
    EXPECT_EQ(cancelled.Result(&bytes), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  }
  EXPECT_TRUE(Received(pad).empty()) << "a cancelled write never reaches the device";

  const Bytes feature = {0x00, 9, 9, 9, 9, 9, 9, 9, 9};
  Request write(padHandle, 9), setFeature(padHandle, 9), getFeature(padHandle, 9);
  ASSERT_EQ(write.Write(report), static_cast<DWORD>(ERROR_IO_PENDING));
  ASSERT_EQ(setFeature.Control(IOCTL_HID_SET_FEATURE, feature), static_cast<DWORD>(ERROR_IO_PENDING));
  // IOCTL_HID_GET_FEATURE returns the report in its output buffer.
  ASSERT_EQ(getFeature.ControlOut(IOCTL_HID_GET_FEATURE, Bytes(9, 0)), static_cast<DWORD>(ERROR_IO_PENDING));
  EXPECT_FALSE(getFeature.EndsWithin(20));
  ASSERT_EQ(pad.control().Unstall(), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(write.EndsWithin(2000));
  ASSERT_TRUE(setFeature.EndsWithin(2000));
  ASSERT_TRUE(getFeature.EndsWithin(2000));
  DWORD bytes = 0;
  EXPECT_EQ(write.Result(&bytes), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(setFeature.Result(&bytes), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(getFeature.Result(&bytes), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(getFeature.buffer() == feature) << "the feature report set before it, in order";
  EXPECT_TRUE(Received(pad) ==
              (std::vector<ReceivedReport>{{Arrival::InterruptWrite, report}, {Arrival::SetFeature, feature}}));
}

// Pulling the device out ends what waits on it, and the open handle is of no
// more use; Windows documents ERROR_DEVICE_NOT_CONNECTED, Wine 8 ends them
// with ERROR_ACCESS_DENIED. Plugged in again, the device works as before,
// and the other device, open all along, never noticed.
TEST_F(VirtualHid, UnplugEndsWhatWaitsAndTheDeviceComesBack) {
  Handle boardHandle(board.path());
  Request boardRead(boardHandle, 8);
  ASSERT_EQ(boardRead.Read(), static_cast<DWORD>(ERROR_IO_PENDING));
  {
    Handle padHandle(pad.path());
    Request read(padHandle, 9), write(padHandle, 9);
    ASSERT_EQ(read.Read(), static_cast<DWORD>(ERROR_IO_PENDING));
    ASSERT_EQ(pad.control().Stall(), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(write.Write({0x00, 1, 2, 3, 4, 5, 6, 7, 8}), static_cast<DWORD>(ERROR_IO_PENDING));
    const std::wstring path = pad.path();
    ASSERT_EQ(pad.Unplug(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(Listed(path));
    ASSERT_TRUE(read.EndsWithin(2000));
    ASSERT_TRUE(write.EndsWithin(2000));
    DWORD bytes = 0;
    EXPECT_EQ(read.Result(&bytes), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(write.Result(&bytes), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    Request late(padHandle, 9);
    EXPECT_EQ(late.Read(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }

  ASSERT_EQ(pad.Plug(), static_cast<DWORD>(ERROR_SUCCESS));
  Handle padHandle(pad.path());
  Request read(padHandle, 9);
  ASSERT_EQ(read.Read(), static_cast<DWORD>(ERROR_IO_PENDING));
  const Bytes report = {0x00, 9, 8, 7, 6, 5, 4, 3, 2};
  ASSERT_EQ(pad.control().PushInput(report), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(read.EndsWithin(2000));
  EXPECT_TRUE(read.buffer() == report);

  EXPECT_FALSE(boardRead.EndsWithin(0));
  const Bytes boardReport = {0x02, 1, 2, 3, 4, 5, 6, 7};
  ASSERT_EQ(board.control().PushInput(boardReport), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(boardRead.EndsWithin(2000));
  EXPECT_TRUE(boardRead.buffer() == boardReport);
}

// The device keeps a log of what it received for the test to read; when
// the test lets it fill up, it says so after the reports it kept.
TEST_F(VirtualHid, AFullLogSaysItLostReports) {
  Handle padHandle(pad.path(), 0);
  Bytes report(9, 0);
  for (BYTE i = 0; i < 65; ++i) {
    report[1] = i;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(padHandle, report.data(), 9, &written, nullptr));
  }
  std::vector<ReceivedReport> kept;
  EXPECT_EQ(pad.control().PopReceived(&kept), static_cast<DWORD>(ERROR_IO_DEVICE));
  ASSERT_EQ(kept.size(), 64u);
  EXPECT_EQ(kept.front().bytes[1], 0);
  EXPECT_EQ(kept.back().bytes[1], 63);
  kept.clear();
  EXPECT_EQ(pad.control().PopReceived(&kept), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(kept.empty());
}

}  // namespace

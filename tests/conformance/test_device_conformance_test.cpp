// Devices of the tests' own through the HID class driver: what the Xtra
// relies on when it reads, writes and hears of devices, alike on the
// stand-in and under Wine's own HID stack. Where Wine 8 parts from what
// Windows documents, the check names both.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "../standin/descriptor_items.h"
#include "test_device.h"
#include "windows_api.h"
#include "wine_devices.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kVendorId = 0x1209;

ReportLayout Pad() {
  ReportLayout pad;
  pad.usagePage = 0xFF00;
  pad.usage = 1;
  pad.inputLength = 9;
  pad.outputLength = 9;
  return pad;
}

// Numbered reports of every kind: input 1 and 2, output 3, features 4 and 5.
ReportLayout Board() {
  ReportLayout board;
  board.usagePage = 0xFF00;
  board.usage = 1;
  board.inputLength = 6;
  board.inputIds = {1, 2};
  board.outputLength = 4;
  board.outputIds = {3};
  board.featureLength = 5;
  board.featureIds = {4, 5};
  return board;
}

HANDLE Open(const TestDevice& device, DWORD flags = FILE_FLAG_OVERLAPPED) {
  return CreateFileA(device.path().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, flags, nullptr);
}

// One overlapped read, with its own event and buffer.
class PendingRead {
 public:
  explicit PendingRead(HANDLE file) : file_(file) { overlapped_.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
  ~PendingRead() {
    if (started_) {
      CancelIo(file_);
      WaitForSingleObject(overlapped_.hEvent, 1000);
    }
    CloseHandle(overlapped_.hEvent);
  }
  PendingRead(const PendingRead&) = delete;
  PendingRead& operator=(const PendingRead&) = delete;

  // The error ReadFile left: ERROR_IO_PENDING while it waits.
  DWORD Start() {
    const DWORD error =
        ReadFile(file_, buffer_, sizeof buffer_, nullptr, &overlapped_) ? ERROR_SUCCESS : GetLastError();
    started_ = error == ERROR_IO_PENDING || error == ERROR_SUCCESS;
    return error;
  }
  // The report, or empty with `error` set when the read failed or took too long.
  Bytes Finish(DWORD* error = nullptr) {
    started_ = false;
    DWORD bytes = 0;
    const bool ended = WaitForSingleObject(overlapped_.hEvent, 3000) == WAIT_OBJECT_0;
    if (ended && GetOverlappedResult(file_, &overlapped_, &bytes, FALSE)) return Bytes(buffer_, buffer_ + bytes);
    if (error) *error = ended ? GetLastError() : WAIT_TIMEOUT;
    if (!ended) started_ = true;
    return {};
  }

 private:
  HANDLE file_;
  OVERLAPPED overlapped_{};
  BYTE buffer_[64] = {};
  bool started_ = false;
};

using TestDevices = WindowsApi;

TEST_F(TestDevices, EveryOpenHandleReceivesEveryReportFromItsOpenOn) {
  TestDevice pad(kVendorId, 0x0A01, Pad());
  ASSERT_TRUE(pad.plugged());
  HANDLE first = Open(pad);
  HANDLE second = Open(pad);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  ASSERT_NE(second, INVALID_HANDLE_VALUE);
  {
    PendingRead one(first);
    PendingRead other(second);
    ASSERT_EQ(one.Start(), static_cast<DWORD>(ERROR_IO_PENDING));
    ASSERT_EQ(other.Start(), static_cast<DWORD>(ERROR_IO_PENDING));
    ASSERT_TRUE(pad.Send({0, 1, 2}));
    const Bytes report = {0, 1, 2, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(one.Finish(), report);
    EXPECT_EQ(other.Finish(), report) << "each handle has its copy";
  }
  HANDLE late = Open(pad);
  {
    PendingRead reader(late);
    EXPECT_EQ(reader.Start(), static_cast<DWORD>(ERROR_IO_PENDING)) << "nothing from before its open";
    ASSERT_TRUE(pad.Send({0, 3}));
    EXPECT_EQ(reader.Finish(), (Bytes{0, 3, 0, 0, 0, 0, 0, 0, 0}));
    PendingRead waiting(first);
    waiting.Start();
    EXPECT_EQ(waiting.Finish(), (Bytes{0, 3, 0, 0, 0, 0, 0, 0, 0})) << "kept for the handle until it reads";
  }
  for (HANDLE file : {first, second, late}) CloseHandle(file);
}

TEST_F(TestDevices, NumberedReportsHaveTheirKindsLengthAndOnlyDeclaredIds) {
  TestDevice board(kVendorId, 0x0A02, Board());
  ASSERT_TRUE(board.plugged());
  HANDLE file = Open(board, 0);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  HIDP_CAPS caps{};
  EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
  HidD_FreePreparsedData(preparsed);
  EXPECT_EQ(caps.InputReportByteLength, 6);
  EXPECT_EQ(caps.OutputReportByteLength, 4);
  EXPECT_EQ(caps.FeatureReportByteLength, 5);

  ASSERT_TRUE(board.Send({2, 9}));
  BYTE input[6] = {};
  DWORD bytes = 0;
  ASSERT_TRUE(ReadFile(file, input, sizeof input, &bytes, nullptr));
  EXPECT_EQ(Bytes(input, input + bytes), (Bytes{2, 9, 0, 0, 0, 0}));

  BYTE output[4] = {3, 1, 2, 3};
  ASSERT_TRUE(WriteFile(file, output, sizeof output, &bytes, nullptr));
  EXPECT_TRUE(bytes == 4 || bytes == 3) << bytes << ": Windows counts the whole report, Wine 8 leaves the ID out";
  BYTE feature[5] = {4, 1, 2, 3, 4};
  ASSERT_TRUE(HidD_SetFeature(file, feature, sizeof feature));
  BYTE readBack[5] = {4};
  ASSERT_TRUE(HidD_GetFeature(file, readBack, sizeof readBack));
  EXPECT_EQ(Bytes(readBack, readBack + 5), (Bytes{4, 1, 2, 3, 4}));
  output[3] = 9;
  ASSERT_TRUE(HidD_SetOutputReport(file, output, sizeof output));
  EXPECT_EQ(board.TakeReceived(), (std::vector<Bytes>{{3, 1, 2, 3}, {4, 1, 2, 3, 4}, {3, 1, 2, 9}}));

  // An ID the collection does not declare, or declares for another kind,
  // is refused before the device sees it.
  const BYTE unknown[4] = {7, 0, 0, 0};
  const BYTE inputId[4] = {1, 0, 0, 0};
  for (const BYTE* wrong : {unknown, inputId}) {
    SetLastError(0);
    EXPECT_FALSE(WriteFile(file, wrong, 4, &bytes, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  BYTE outputAsFeature[5] = {3, 0, 0, 0, 0};
  SetLastError(0);
  EXPECT_FALSE(HidD_SetFeature(file, outputAsFeature, sizeof outputAsFeature));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(board.TakeReceived().empty());
  CloseHandle(file);
}

// A string the device names no index for fails before the device is asked,
// with ERROR_INVALID_PARAMETER; the Xtra keeps that as "no string" and asks
// again after any other failure, which a device busy after its arrival gives.
TEST_F(TestDevices, AStringTheDeviceDoesNotHaveFailsAsAnInvalidParameter) {
  TestDevice pad(kVendorId, 0x0A0C, Pad());
  ASSERT_TRUE(pad.plugged()) << pad.failure();
  HANDLE file = Open(pad);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  WCHAR text[256];
  SetLastError(0);
  EXPECT_FALSE(HidD_GetProductString(file, text, sizeof text));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_FALSE(HidD_GetSerialNumberString(file, text, sizeof text));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(file);
}

TEST_F(TestDevices, ARemovalEndsPendingAndLaterIoAndTheHandleNoLongerAnswers) {
  TestDevice pad(kVendorId, 0x0A03, Pad());
  ASSERT_TRUE(pad.plugged());
  HANDLE file = Open(pad);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  {
    PendingRead read(file);
    ASSERT_EQ(read.Start(), static_cast<DWORD>(ERROR_IO_PENDING));
    ASSERT_TRUE(pad.Unplug());
    DWORD error = ERROR_SUCCESS;
    EXPECT_TRUE(read.Finish(&error).empty());
    EXPECT_TRUE(error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_ACCESS_DENIED)
        << error << ": Windows fails it with 1167, Wine 8 with 5";
    PendingRead later(file);
    const DWORD started = later.Start();
    EXPECT_TRUE(started == ERROR_DEVICE_NOT_CONNECTED || started == ERROR_ACCESS_DENIED) << started;
  }
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  EXPECT_FALSE(HidD_GetAttributes(file, &attributes)) << "what the reader asks to know the device is gone";
  CloseHandle(file);
}

// A read of the reader's kind: its OVERLAPPED zeroed once and never written
// again by the caller, its event reset before each read.
class ReaderRead {
 public:
  explicit ReaderRead(HANDLE file) : file_(file) { overlapped_.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr); }
  ~ReaderRead() { CloseHandle(overlapped_.hEvent); }
  ReaderRead(const ReaderRead&) = delete;
  ReaderRead& operator=(const ReaderRead&) = delete;

  // ERROR_IO_PENDING while it waits, ERROR_SUCCESS when it ended at once.
  DWORD Start() {
    ResetEvent(overlapped_.hEvent);
    return ReadFile(file_, buffer_, sizeof buffer_, nullptr, &overlapped_) ? ERROR_SUCCESS : GetLastError();
  }
  bool Ended(DWORD milliseconds) const { return WaitForSingleObject(overlapped_.hEvent, milliseconds) == WAIT_OBJECT_0; }
  // GetOverlappedResult without waiting: the error, and the bytes it told.
  DWORD Outcome(DWORD* bytes) {
    *bytes = 0;
    return GetOverlappedResult(file_, &overlapped_, bytes, FALSE) ? ERROR_SUCCESS : GetLastError();
  }

 private:
  HANDLE file_;
  OVERLAPPED overlapped_{};
  BYTE buffer_[64] = {};
};

// The reader takes a read's end from its event alone and its length from
// GetOverlappedResult, whether the read waited or ended at once.
TEST_F(TestDevices, AReadsEventTellsItsEndAndGetOverlappedResultItsLength) {
  TestDevice pad(kVendorId, 0x0A0A, Pad());
  TestDevice board(kVendorId, 0x0A0B, Board());
  ASSERT_TRUE(pad.plugged());
  ASSERT_TRUE(board.plugged());
  struct {
    TestDevice& device;
    Bytes report;
    DWORD length;
  } kinds[] = {{pad, {0, 1, 2}, 9}, {board, {2, 7}, 6}};
  for (auto& kind : kinds) {
    HANDLE file = Open(kind.device);
    HANDLE probe = Open(kind.device);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_NE(probe, INVALID_HANDLE_VALUE);
    ReaderRead read(file);
    DWORD bytes = 0;
    ASSERT_EQ(read.Start(), static_cast<DWORD>(ERROR_IO_PENDING)) << kind.length;
    EXPECT_FALSE(read.Ended(50)) << "a waiting read leaves its event reset";
    EXPECT_EQ(read.Outcome(&bytes), static_cast<DWORD>(ERROR_IO_INCOMPLETE));
    ASSERT_TRUE(kind.device.Send(kind.report));
    ASSERT_TRUE(read.Ended(3000));
    EXPECT_EQ(read.Outcome(&bytes), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(bytes, kind.length) << "numbered or not, the whole report with its ID byte";

    // Once the probe has its copy, the report waits for the reader too.
    {
      PendingRead waitForIt(probe);
      waitForIt.Start();
      ASSERT_TRUE(kind.device.Send(kind.report));
      EXPECT_EQ(waitForIt.Finish().size(), kind.length);
    }
    const DWORD started = read.Start();
    EXPECT_TRUE(started == ERROR_SUCCESS || started == ERROR_IO_PENDING) << started;
    EXPECT_TRUE(read.Ended(started == ERROR_SUCCESS ? 0 : 3000)) << "a read that ends at once sets its event too";
    EXPECT_EQ(read.Outcome(&bytes), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(bytes, kind.length);
    CloseHandle(probe);
    CloseHandle(file);
  }
}

// The codes the HID class driver takes its report requests by, which the
// driver under Wine receives as they are.
static_assert(IOCTL_HID_SET_FEATURE == 0xB0191 && IOCTL_HID_GET_FEATURE == 0xB0192, "feature requests");
static_assert(IOCTL_HID_SET_OUTPUT_REPORT == 0xB0195 && IOCTL_HID_GET_INPUT_REPORT == 0xB01A2, "report requests");

// Ends an overlapped request: its bytes, or the error it ended with.
DWORD Outcome(HANDLE file, BOOL started, OVERLAPPED& overlapped, DWORD* bytes) {
  if (!started && GetLastError() != ERROR_IO_PENDING) return GetLastError();
  return GetOverlappedResult(file, &overlapped, bytes, TRUE) ? ERROR_SUCCESS : GetLastError();
}

TEST_F(TestDevices, ReportRequestsGoOverlappedThroughDeviceIoControl) {
  TestDevice board(kVendorId, 0x0A05, Board());
  ASSERT_TRUE(board.plugged());
  HANDLE file = Open(board);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD bytes = 0;
  BYTE output[4] = {3, 7, 8, 9};
  EXPECT_EQ(Outcome(file,
                    DeviceIoControl(file, IOCTL_HID_SET_OUTPUT_REPORT, output, sizeof output, nullptr, 0, nullptr,
                                    &overlapped),
                    overlapped, &bytes),
            static_cast<DWORD>(ERROR_SUCCESS));
  BYTE feature[5] = {4, 1, 1, 1, 1};
  EXPECT_EQ(
      Outcome(file,
              DeviceIoControl(file, IOCTL_HID_SET_FEATURE, feature, sizeof feature, nullptr, 0, nullptr, &overlapped),
              overlapped, &bytes),
      static_cast<DWORD>(ERROR_SUCCESS));
  BYTE readBack[5] = {4};
  EXPECT_EQ(
      Outcome(file,
              DeviceIoControl(file, IOCTL_HID_GET_FEATURE, nullptr, 0, readBack, sizeof readBack, nullptr, &overlapped),
              overlapped, &bytes),
      static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(Bytes(readBack, readBack + 5), (Bytes{4, 1, 1, 1, 1}));
  ASSERT_TRUE(board.Send({1, 5}));
  BYTE input[6] = {1};
  EXPECT_EQ(
      Outcome(file,
              DeviceIoControl(file, IOCTL_HID_GET_INPUT_REPORT, nullptr, 0, input, sizeof input, nullptr, &overlapped),
              overlapped, &bytes),
      static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(Bytes(input, input + 6), (Bytes{1, 5, 0, 0, 0, 0})) << "the last report of that ID";
  EXPECT_EQ(board.TakeReceived(), (std::vector<Bytes>{{3, 7, 8, 9}, {4, 1, 1, 1, 1}}));
  CloseHandle(overlapped.hEvent);
  CloseHandle(file);
}

// A touch screen's two fingers, each a logical collection (1 and 2) holding
// its tip switch and a lamp.
Bytes TwoFingers() {
  using namespace items;
  const Bytes finger = Descriptor({Usage(0x22), Collection(0x02), Usage(0x42), ReportCount(1), Input(kVariable),
                                   ReportCount(7), Input(kConstant), UsagePage(0x08), Usage(0x4B), ReportCount(1),
                                   Output(kVariable), ReportCount(7), Output(kConstant), UsagePage(0x0D),
                                   EndCollection()});
  return Descriptor({UsagePage(0x0D), Usage(0x04), Application(), LogicalMinimum(0), LogicalMaximum(1),
                     ReportSize(1), finger, finger, EndCollection()});
}

std::vector<USAGE_AND_PAGE> UsagesOn(USHORT collection, PHIDP_PREPARSED_DATA preparsed, Bytes report) {
  std::vector<USAGE_AND_PAGE> on(4);
  ULONG length = static_cast<ULONG>(on.size());
  EXPECT_EQ(HidP_GetUsagesEx(HidP_Input, collection, on.data(), &length, preparsed,
                             reinterpret_cast<PCHAR>(report.data()), static_cast<ULONG>(report.size())),
            HIDP_STATUS_SUCCESS);
  on.resize(std::min<size_t>(length, on.size()));
  return on;
}

// The controller reads buttons of one usage apart by their link collection;
// link collection 0 reads them all and sets the first.
TEST_F(TestDevices, ButtonsAreReadAndSetInTheLinkCollectionAskedFor) {
  TestDevice screen(kVendorId, 0x0A0D, TwoFingers());
  ASSERT_TRUE(screen.plugged()) << screen.failure();
  HANDLE file = Open(screen);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  const Bytes secondFinger = {0, 0, 1};
  EXPECT_TRUE(UsagesOn(1, preparsed, secondFinger).empty());
  ASSERT_EQ(UsagesOn(2, preparsed, secondFinger).size(), 1u);
  EXPECT_EQ(UsagesOn(2, preparsed, secondFinger)[0].Usage, 0x42);
  EXPECT_EQ(UsagesOn(0, preparsed, secondFinger).size(), 1u);
  const auto lampOf = [&](USHORT collection) {
    Bytes report(3);
    const auto chars = reinterpret_cast<PCHAR>(report.data());
    EXPECT_EQ(HidP_InitializeReportForID(HidP_Output, 0, preparsed, chars, 3), HIDP_STATUS_SUCCESS);
    USAGE lamp = 0x4B;
    ULONG count = 1;
    EXPECT_EQ(HidP_SetUsages(HidP_Output, 0x08, collection, &lamp, &count, preparsed, chars, 3), HIDP_STATUS_SUCCESS);
    return report;
  };
  EXPECT_EQ(lampOf(2), (Bytes{0, 0, 1}));
  EXPECT_EQ(lampOf(0), (Bytes{0, 1, 0})) << "the first";
  HidD_FreePreparsedData(preparsed);
  CloseHandle(file);
}

TEST_F(TestDevices, AStalledWriteWaitsUntilCancelledOrTakenAndACancelledOneNeverArrives) {
  TestDevice pad(kVendorId, 0x0A06, Pad());
  ASSERT_TRUE(pad.plugged());
  HANDLE file = Open(pad);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(pad.Stall(true));
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  BYTE output[9] = {0, 1};
  EXPECT_FALSE(WriteFile(file, output, sizeof output, nullptr, &overlapped));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 100), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(CancelIo(file));
  DWORD bytes = 0;
  EXPECT_FALSE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));

  output[1] = 2;
  EXPECT_FALSE(WriteFile(file, output, sizeof output, nullptr, &overlapped));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  ASSERT_TRUE(pad.Stall(false));
  EXPECT_TRUE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
  EXPECT_EQ(bytes, 9u);
  EXPECT_EQ(pad.TakeReceived(), (std::vector<Bytes>{{0, 2, 0, 0, 0, 0, 0, 0, 0}}));
  CloseHandle(overlapped.hEvent);
  CloseHandle(file);
}

TEST_F(TestDevices, AnExclusiveOpenKeepsReadersAndWritersOutButNotQueries) {
  TestDevice pad(kVendorId, 0x0A07, Pad());
  ASSERT_TRUE(pad.plugged());
  HANDLE exclusive =
      CreateFileA(pad.path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  SetLastError(0);
  HANDLE shared = Open(pad);
  if (UnderWine()) {
    EXPECT_NE(shared, INVALID_HANDLE_VALUE) << "Wine 8 checks no share modes on a HID collection";
    if (shared != INVALID_HANDLE_VALUE) CloseHandle(shared);
  } else {
    EXPECT_EQ(shared, INVALID_HANDLE_VALUE) << "Windows refuses what the exclusive open's share mode does not allow";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  HANDLE query =
      CreateFileA(pad.path().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(query, INVALID_HANDLE_VALUE) << "access 0 asks only for attributes and strings";
  if (query != INVALID_HANDLE_VALUE) CloseHandle(query);
  CloseHandle(exclusive);
  HANDLE after = Open(pad);
  EXPECT_NE(after, INVALID_HANDLE_VALUE);
  if (after != INVALID_HANDLE_VALUE) CloseHandle(after);
}

// Windows hands a Unicode window the UTF-16 broadcast.
std::vector<std::pair<WPARAM, std::string>> gHeard;

LRESULT CALLBACK Listener(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_DEVICECHANGE) return DefWindowProcW(window, message, wParam, lParam);
  const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
  if (broadcast && broadcast->dbcc_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
    std::string path;
    for (const WCHAR* unit = broadcast->dbcc_name; *unit; ++unit)
      path += static_cast<char>(*unit >= 'A' && *unit <= 'Z' ? *unit - 'A' + 'a' : *unit);
    gHeard.emplace_back(wParam, path);
  }
  return TRUE;
}

bool Heard(WPARAM code, const std::string& path) {
  // Wine announces a device from another process: on a busy machine that takes seconds.
  for (int waited = 0; waited < 10000; waited += 10) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    for (const auto& [heard, heardPath] : gHeard)
      if (heard == code && heardPath == path) return true;
    Sleep(10);
  }
  return false;
}

// Plugs and unplugs a pad while a window made under `parent` listens for HID
// collections: it must hear both, with the path.
void HearsThePad(HWND parent) {
  gHeard.clear();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Listener;
  windowClass.lpszClassName = WIDE_TEXT("CONFORMANCE_DEVICES");
  ASSERT_NE(RegisterClassExW(&windowClass), 0);
  HWND window = CreateWindowExW(0, WIDE_TEXT("CONFORMANCE_DEVICES"), WIDE_TEXT("CONFORMANCE_DEVICES"), 0, 0, 0, 0, 0,
                                parent, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  // Windows' FindWindow looks at top-level windows alone; Wine 8's finds a
  // message-only one too, which the Xtra, finding its own window through its
  // state, does not mind.
  const HWND found = FindWindowW(WIDE_TEXT("CONFORMANCE_DEVICES"), WIDE_TEXT("CONFORMANCE_DEVICES"));
  if (parent == HWND_MESSAGE && UnderWine())
    EXPECT_EQ(found, window) << "Wine 8 finds message-only windows";
  else
    EXPECT_EQ(found, parent == HWND_MESSAGE ? nullptr : window);
  EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, WIDE_TEXT("CONFORMANCE_DEVICES"), WIDE_TEXT("CONFORMANCE_DEVICES")),
            parent == HWND_MESSAGE ? window : nullptr);
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  HidD_GetHidGuid(&filter.dbcc_classguid);
  HDEVNOTIFY registration = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  EXPECT_NE(registration, nullptr);
  if (registration) {
    TestDevice pad(kVendorId, 0x0A04, Pad());
    EXPECT_TRUE(pad.plugged());
    EXPECT_TRUE(Heard(DBT_DEVICEARRIVAL, pad.path())) << pad.path();
    EXPECT_TRUE(pad.Unplug());
    EXPECT_TRUE(Heard(DBT_DEVICEREMOVECOMPLETE, pad.path())) << pad.path();
    UnregisterDeviceNotification(registration);
  }
  DestroyWindow(window);
  UnregisterClassW(WIDE_TEXT("CONFORMANCE_DEVICES"), nullptr);
}

TEST_F(TestDevices, AUnicodeWindowHearsArrivalAndRemovalWithThePath) { HearsThePad(nullptr); }

// The Xtra's window is message-only: it hears what it registered for, and
// no other process's FindWindow finds it.
TEST_F(TestDevices, AMessageOnlyWindowHearsTheSameAndFindWindowDoesNotFindIt) { HearsThePad(HWND_MESSAGE); }

}  // namespace

// Finding, querying, reading and writing Wine's HID mouse and keyboard, as
// the Xtra does: the same results under Wine and against the stand-in.
#include <cstddef>
#include <cstring>
#include <string>

#include "windows_api.h"
#include "wine_devices.h"

namespace {

const char* const kInterfaceSuffix = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";

// The path of the first present HID interface whose path contains `ids`.
std::string FindInterface(const char* ids) {
  GUID guid;
  HidD_GetHidGuid(&guid);
  HDEVINFO set = SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return "";
  std::string found;
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  for (DWORD i = 0; found.empty() && SetupDiEnumDeviceInterfaces(set, nullptr, &guid, i, &data); ++i) {
    char storage[512];
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage);
    detail->cbSize = sizeof *detail;
    if (SetupDiGetDeviceInterfaceDetailA(set, &data, detail, sizeof storage, nullptr, nullptr) &&
        std::strstr(detail->DevicePath, ids))
      found = detail->DevicePath;
  }
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

// The ASCII part of a UTF-16 string in a byte buffer.
std::string Narrow(const BYTE* bytes) {
  std::string text;
  for (; bytes[0] || bytes[1]; bytes += 2) text += static_cast<char>(bytes[0]);
  return text;
}

class HidConformance : public WindowsApi {
 protected:
  void OpenMouse(DWORD flags = FILE_FLAG_OVERLAPPED) {
    mouse = CreateFileA(FindInterface("vid_845e&pid_0001").c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
  }
  void TearDown() override {
    if (mouse != INVALID_HANDLE_VALUE) CloseHandle(mouse);
    WindowsApi::TearDown();
  }
  HANDLE mouse = INVALID_HANDLE_VALUE;
};

TEST_F(HidConformance, WineDevicesAreListedUnderWindowsShapedPaths) {
  const std::string mousePath = FindInterface("vid_845e&pid_0001");
  EXPECT_EQ(mousePath, std::string("\\\\?\\hid#vid_845e&pid_0001#0&0000&0&0") + kInterfaceSuffix);
  EXPECT_NE(FindInterface("vid_845e&pid_0002"), "");
  EXPECT_EQ(FindInterface("vid_dead&pid_beef"), "");
}

TEST_F(HidConformance, DetailSizeIsAskedForFirst) {
  GUID guid;
  HidD_GetHidGuid(&guid);
  HDEVINFO set = SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 0, &data));
  DWORD required = 0;
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  const std::size_t pathLength = std::string("\\\\?\\hid#vid_845e&pid_0001#0&0000&0&0").size() +
                                 std::strlen(kInterfaceSuffix);
  EXPECT_EQ(required, offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + pathLength + 1);
  char storage[512];
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage);
  detail->cbSize = 3;
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, sizeof storage, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  detail->cbSize = sizeof *detail;
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required - 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 2, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
  SetupDiDestroyDeviceInfoList(set);
}

TEST_F(HidConformance, MouseTellsItsAttributesStringsAndCaps) {
  OpenMouse();
  ASSERT_NE(mouse, INVALID_HANDLE_VALUE);
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  ASSERT_TRUE(HidD_GetAttributes(mouse, &attributes));
  EXPECT_EQ(attributes.VendorID, 0x845E);
  EXPECT_EQ(attributes.ProductID, 0x0001);
  EXPECT_EQ(attributes.VersionNumber, 0);

  BYTE text[256] = {};
  ASSERT_TRUE(HidD_GetProductString(mouse, text, sizeof text));
  EXPECT_EQ(Narrow(text), "Wine HID mouse");
  ASSERT_TRUE(HidD_GetManufacturerString(mouse, text, sizeof text));
  EXPECT_EQ(Narrow(text), "The Wine Project");
  std::memset(text, 0xAA, sizeof text);
  EXPECT_FALSE(HidD_GetSerialNumberString(mouse, text, 8)) << "\"0000\" and its terminator need 10 bytes";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(text[0], 0xAA);
  ASSERT_TRUE(HidD_GetSerialNumberString(mouse, text, 10));
  EXPECT_EQ(Narrow(text), "0000");

  PHIDP_PREPARSED_DATA preparsed = nullptr;
  ASSERT_TRUE(HidD_GetPreparsedData(mouse, &preparsed));
  HIDP_CAPS caps{};
  EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(caps.UsagePage, 0x01);
  EXPECT_EQ(caps.Usage, 0x02);
  EXPECT_EQ(caps.InputReportByteLength, 2);
  EXPECT_EQ(caps.OutputReportByteLength, 0);
  EXPECT_EQ(caps.FeatureReportByteLength, 0);
  EXPECT_EQ(caps.NumberLinkCollectionNodes, 1);
  EXPECT_EQ(caps.NumberInputButtonCaps, 1);
  EXPECT_EQ(caps.NumberInputDataIndices, 3);
  EXPECT_TRUE(HidD_FreePreparsedData(preparsed));
  EXPECT_EQ(HidP_GetCaps(nullptr, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
}

TEST_F(HidConformance, SilentDeviceKeepsAReadPendingUntilCancelled) {
  OpenMouse();
  ASSERT_NE(mouse, INVALID_HANDLE_VALUE);
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  BYTE report[64];
  EXPECT_FALSE(ReadFile(mouse, report, sizeof report, nullptr, &overlapped));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 0), WAIT_TIMEOUT) << "ReadFile reset the event";
  EXPECT_FALSE(HasOverlappedIoCompleted(&overlapped));
  DWORD bytes = 99;
  EXPECT_FALSE(GetOverlappedResult(mouse, &overlapped, &bytes, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_INCOMPLETE));

  EXPECT_TRUE(CancelIoEx(mouse, &overlapped));
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 1000), WAIT_OBJECT_0);
  EXPECT_TRUE(HasOverlappedIoCompleted(&overlapped));
  EXPECT_FALSE(GetOverlappedResult(mouse, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  EXPECT_EQ(bytes, 0u);
  EXPECT_FALSE(CancelIoEx(mouse, &overlapped));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_FOUND));
  EXPECT_TRUE(CancelIo(mouse));
  CloseHandle(overlapped.hEvent);
}

DWORD WINAPI CancelIoElsewhere(LPVOID file) { return CancelIo(static_cast<HANDLE>(file)); }

// Windows XP has CancelIo only, which cancels what the calling thread started:
// a reader must cancel its own read.
TEST_F(HidConformance, CancelIoCancelsOnlyTheCallingThreadsRead) {
  OpenMouse();
  ASSERT_NE(mouse, INVALID_HANDLE_VALUE);
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  BYTE report[64];
  EXPECT_FALSE(ReadFile(mouse, report, sizeof report, nullptr, &overlapped));
  HANDLE other = CreateThread(nullptr, 0, CancelIoElsewhere, mouse, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  CloseHandle(other);
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 100), WAIT_TIMEOUT) << "another thread's CancelIo left it";
  EXPECT_TRUE(CancelIo(mouse));
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 1000), WAIT_OBJECT_0);
  DWORD bytes = 99;
  EXPECT_FALSE(GetOverlappedResult(mouse, &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  CloseHandle(overlapped.hEvent);
}

TEST_F(HidConformance, Kernel32IsAskedForCancelIoExAtRunTime) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_NE(GetProcAddress(kernel, "CancelIoEx"), nullptr);
  EXPECT_EQ(GetProcAddress(kernel, "NoSuchFunctionAnywhere"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
}

TEST_F(HidConformance, BuffersThatCannotHoldAReportAreInvalid) {
  OpenMouse(0);
  ASSERT_NE(mouse, INVALID_HANDLE_VALUE);
  BYTE report[1];
  DWORD bytes = 0;
  EXPECT_FALSE(ReadFile(mouse, report, sizeof report, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
}

TEST_F(HidConformance, MouseTakesNoOutputReports) {
  OpenMouse(0);
  ASSERT_NE(mouse, INVALID_HANDLE_VALUE);
  const BYTE report[8] = {};
  DWORD bytes = 0;
  EXPECT_FALSE(WriteFile(mouse, report, 0, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  EXPECT_FALSE(WriteFile(mouse, report, 1, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(WriteFile(mouse, report, 2, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(HidConformance, MouseHasNoFeatureOrOutputReportsForTheControlPipe) {
  OpenMouse(0);
  ASSERT_NE(mouse, INVALID_HANDLE_VALUE);
  BYTE report[8] = {};
  EXPECT_FALSE(HidD_GetFeature(mouse, report, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  EXPECT_FALSE(HidD_GetFeature(mouse, report, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(HidD_SetFeature(mouse, report, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(HidD_SetOutputReport(mouse, report, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  EXPECT_FALSE(HidD_SetOutputReport(mouse, report, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // A handle without access asks features just the same.
  HANDLE query = CreateFileA(FindInterface("vid_845e&pid_0001").c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(query, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(HidD_GetFeature(query, report, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(query);
}

TEST_F(HidConformance, InputReportOnDemandIsTheWholeReportAndNeedsItsRoom) {
  OpenMouse(0);
  ASSERT_NE(mouse, INVALID_HANDLE_VALUE);
  BYTE report[8] = {0, 0xAA, 0xAA};
  ASSERT_TRUE(HidD_GetInputReport(mouse, report, 2));
  EXPECT_EQ(report[0], 0);
  EXPECT_EQ(report[1], 0) << "a mouse at rest";
  EXPECT_FALSE(HidD_GetInputReport(mouse, report, 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(HidD_GetInputReport(mouse, report, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
}

TEST_F(HidConformance, AnExclusiveOpenOfAnUnusedCollectionSucceeds) {
  HANDLE exclusive = CreateFileA(FindInterface("vid_845e&pid_0002").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
  if (exclusive != INVALID_HANDLE_VALUE) CloseHandle(exclusive);
}

TEST_F(HidConformance, UnknownPathsAreNotFound) {
  HANDLE none = CreateFileA((std::string("\\\\?\\hid#vid_dead&pid_beef#1&2&3&4") + kInterfaceSuffix).c_str(),
                            GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(none, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(CreateFileA("", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

}  // namespace

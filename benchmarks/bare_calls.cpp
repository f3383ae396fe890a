#include "bare_calls.h"

#include <algorithm>

namespace bare {

namespace {

bool ReadsWhat(HANDLE handle, Reading reading, HIDD_ATTRIBUTES& attributes) {
  attributes.Size = sizeof attributes;
  if (!HidD_GetAttributes(handle, &attributes)) return false;
  if (reading == Reading::Ids) return true;
  WCHAR text[256];
  HidD_GetManufacturerString(handle, text, sizeof text);
  HidD_GetProductString(handle, text, sizeof text);
  HidD_GetSerialNumberString(handle, text, sizeof text);
  if (reading == Reading::IdsAndStrings) return true;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(handle, &preparsed)) return false;
  HIDP_CAPS caps;
  HidP_GetCaps(preparsed, &caps);
  HidD_FreePreparsedData(preparsed);
  return true;
}

HANDLE OpenShared(const char* path, DWORD access) {
  return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                     nullptr);
}

// The paths of the present HID interfaces, visited one by one until `visit`
// answers false.
template <class Visit>
void ForEachPath(Visit visit) {
  GUID hid;
  HidD_GetHidGuid(&hid);
  HDEVINFO set = SetupDiGetClassDevsA(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return;
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hid, index, &data); ++index) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr);
    std::vector<char> storage(required);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr)) continue;
    if (!visit(detail->DevicePath)) break;
  }
  SetupDiDestroyDeviceInfoList(set);
}

bool Ready(HANDLE device, const char* path, OpenDevice& open) {
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(device, &preparsed)) return false;
  HIDP_CAPS caps;
  HidP_GetCaps(preparsed, &caps);
  HidD_FreePreparsedData(preparsed);
  open.device = device;
  open.reader = OpenShared(path, GENERIC_READ | GENERIC_WRITE);
  return open.reader != INVALID_HANDLE_VALUE;
}

}  // namespace

int Walk(Reading reading) {
  int read = 0;
  ForEachPath([&](const char* path) {
    // Read and write where the system lets it, as #SystemOwned tells which.
    HANDLE handle = OpenShared(path, GENERIC_READ | GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE) handle = OpenShared(path, 0);
    HIDD_ATTRIBUTES attributes;
    if (handle != INVALID_HANDLE_VALUE && ReadsWhat(handle, reading, attributes)) ++read;
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    return true;
  });
  return read;
}

OpenDevice::~OpenDevice() {
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  if (device != INVALID_HANDLE_VALUE) CloseHandle(device);
}

bool OpenFirst(uint16_t vendorId, uint16_t productId, const std::string& product, OpenDevice& open) {
  bool opened = false;
  ForEachPath([&](const char* path) {
    HANDLE device = OpenShared(path, GENERIC_READ | GENERIC_WRITE);
    if (device == INVALID_HANDLE_VALUE) return true;
    HIDD_ATTRIBUTES attributes;
    bool matches = ReadsWhat(device, Reading::Ids, attributes);
    if (product.empty()) {
      matches = matches && attributes.VendorID == vendorId && attributes.ProductID == productId;
    } else {
      WCHAR text[256] = {};
      matches = matches && HidD_GetProductString(device, text, sizeof text) &&
                std::equal(product.begin(), product.end() + 1, text, [](char a, WCHAR b) { return WCHAR(a) == b; });
    }
    if (!matches) {
      CloseHandle(device);
      return true;
    }
    opened = Ready(device, path, open);
    return false;
  });
  return opened;
}

bool OpenPath(const std::string& path, OpenDevice& open) {
  HANDLE device = OpenShared(path.c_str(), GENERIC_READ | GENERIC_WRITE);
  if (device == INVALID_HANDLE_VALUE) return false;
  HIDD_ATTRIBUTES attributes;
  if (!ReadsWhat(device, Reading::Ids, attributes)) {
    CloseHandle(device);
    return false;
  }
  return Ready(device, path.c_str(), open);
}

ReportRequest::ReportRequest() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), bytes_(65536) {}

ReportRequest::~ReportRequest() { CloseHandle(event_); }

bool ReportRequest::Get(HANDLE device, DWORD code, uint8_t reportId, uint32_t length) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = event_;
  bytes_[0] = reportId;
  DWORD moved = 0;
  if (!DeviceIoControl(device, code, nullptr, 0, bytes_.data(), length, nullptr, &overlapped) &&
      GetLastError() != ERROR_IO_PENDING)
    return false;
  if (WaitForSingleObject(event_, 1000) != WAIT_OBJECT_0) return false;
  return GetOverlappedResult(device, &overlapped, &moved, FALSE) != FALSE;
}

}  // namespace bare

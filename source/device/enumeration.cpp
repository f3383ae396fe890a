// One walk over the HID interfaces present, in the setup API's order: list
// them all, or stop at the first that matches and keep a handle on it.
#include <string>
#include <memory>
#include <new>

#include "device/usb_class_pc.h"

namespace {

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Overlapped: the handle kept on a matched device carries its writes, which
// must not hold Director's thread when the device stops taking them.
HANDLE OpenInterface(const char* path, DWORD access) {
  HANDLE handle = CreateFileA(path, access, kShareReadWrite, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// A device need not terminate a string that fills the buffer.
void CopyDeviceString(BOOLEAN(WINAPI* query)(HANDLE, PVOID, ULONG), HANDLE device,
                      WCHAR (&field)[UsbDeviceInfo::kStringUnits]) {
  if (!query(device, field, sizeof field)) field[0] = 0;
  field[UsbDeviceInfo::kStringUnits - 1] = 0;
}

void FillDeviceInfo(HANDLE device, const HIDD_ATTRIBUTES& attributes, UsbDeviceInfo& info) {
  info.VendorID = attributes.VendorID;
  info.ProductID = attributes.ProductID;
  CopyDeviceString(HidD_GetProductString, device, info.Product);
  CopyDeviceString(HidD_GetManufacturerString, device, info.Manufacturer);
  CopyDeviceString(HidD_GetSerialNumberString, device, info.SerialNumberString);
}

bool Matches(const DeviceSearch& search, HANDLE device, const HIDD_ATTRIBUTES& attributes) {
  if (search.mode == SearchMode::MatchIds)
    return attributes.VendorID == search.vendorId && attributes.ProductID == search.productId;
  UsbDeviceInfo info{};
  FillDeviceInfo(device, attributes, info);
  return std::char_traits<WCHAR>::compare(info.Product, search.name, UsbDeviceInfo::kStringUnits) == 0;
}

}  // namespace

XtraResult UsbClassPC::FindDevices(DeviceList& list) {
  result.SetOk();
  DeviceSearch search;
  search.list = &list;
  return EnumerateDevices(search);
}

XtraResult UsbClassPC::EnumerateDevices(DeviceSearch& search) {
  result.SetOk();
  GUID hidGuid;
  HidD_GetHidGuid(&hidGuid);
  HDEVINFO set = SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) {
    result.SetError("Invalid Handle", XtraResult::kNoCode);
    return result;
  }
  bool stop = false;
  for (DWORD index = 0; !stop; ++index) {
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &interfaceData)) break;

    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) continue;
    std::unique_ptr<char[]> storage(new (std::nothrow) char[required]);
    if (!storage) continue;
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detail, required, nullptr, nullptr)) continue;

    // Windows keeps keyboards and mice to itself: they open only without
    // access, which still tells their ids and strings, so they are listed.
    HANDLE device = OpenInterface(detail->DevicePath, kReadWrite);
    if (!device && search.mode == SearchMode::ListAll) device = OpenInterface(detail->DevicePath, 0);
    if (!device) continue;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!HidD_GetAttributes(device, &attributes)) {
      CloseHandle(device);
      continue;
    }

    if (search.mode == SearchMode::ListAll) {
      search.list->emplace_back();
      FillDeviceInfo(device, attributes, search.list->back());
      CloseHandle(device);
    } else if (Matches(search, device, attributes)) {
      try {
        devicePath = detail->DevicePath;
        search.found = device;
      } catch (const std::bad_alloc&) {
        result.SetError("Out of memory", XtraResult::kNoCode);
        CloseHandle(device);
      }
      stop = true;
    } else {
      CloseHandle(device);
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return result;
}

// What a collection tells of itself through the HID library: the same
// whether it is listed, opened or has just arrived.
#include "device/hid_collection_info.h"
#include "device/interface_open.h"
#include "device/interface_path.h"

namespace {

// A device need not terminate a string that fills the buffer.
void CopyDeviceString(BOOLEAN(WINAPI* query)(HANDLE, PVOID, ULONG), HANDLE device,
                      WCHAR (&field)[UsbDeviceInfo::kStringUnits]) {
  if (!query(device, field, sizeof field)) field[0] = 0;
  field[UsbDeviceInfo::kStringUnits - 1] = 0;
}

}  // namespace

void FillDeviceInfo(HANDLE device, const HIDD_ATTRIBUTES& attributes, UsbDeviceInfo& info) {
  info.VendorID = attributes.VendorID;
  info.ProductID = attributes.ProductID;
  CopyDeviceString(HidD_GetProductString, device, info.Product);
  CopyDeviceString(HidD_GetManufacturerString, device, info.Manufacturer);
  CopyDeviceString(HidD_GetSerialNumberString, device, info.SerialNumberString);
}

bool DescribeDevice(HANDLE handle, const char* path, HidCollectionInfo& info) {
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  if (!HidD_GetAttributes(handle, &attributes)) return false;
  info.path = path;
  FillDeviceInfo(handle, attributes, info.device);
  info.releaseNumber = attributes.VersionNumber;
  info.interfaceNumber = InterfaceNumberOf(path);
  return true;
}

bool DescribeCollection(HANDLE handle, const char* path, HidCollectionInfo& info) {
  if (!DescribeDevice(handle, path, info)) return false;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (HidD_GetPreparsedData(handle, &preparsed)) {
    if (HidP_GetCaps(preparsed, &info.caps) != HIDP_STATUS_SUCCESS) info.caps = HIDP_CAPS{};
    HidD_FreePreparsedData(preparsed);
  }
  return true;
}

bool DescribeCollectionAt(const char* path, HidCollectionInfo& info) {
  // Windows keeps keyboards and mice to itself: they open only without
  // access, which still tells their ids, strings and caps.
  constexpr DWORD kShareBoth = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE handle = OpenInterface(path, GENERIC_READ | GENERIC_WRITE, kShareBoth, 0);
  const bool refused = !handle && GetLastError() == ERROR_ACCESS_DENIED;
  if (!handle) handle = OpenInterface(path, 0, kShareBoth, 0);
  if (!handle) return false;
  const bool described = DescribeCollection(handle, path, info);
  info.systemOwned = refused;
  CloseHandle(handle);
  return described;
}

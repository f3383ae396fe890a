// One walk over the HID interfaces present, in the setup API's order: list
// them all, or stop at the first that matches and keep a handle on it.
#include <memory>
#include <new>
#include <string>

#include "device/interface_open.h"
#include "device/usb_class_pc.h"

namespace {

bool Matches(const DeviceSearch& search, HANDLE device, const HIDD_ATTRIBUTES& attributes) {
  if (search.mode == SearchMode::MatchIds)
    return attributes.VendorID == search.vendorId && attributes.ProductID == search.productId;
  UsbDeviceInfo info{};
  FillDeviceInfo(device, attributes, info);
  return std::char_traits<WCHAR>::compare(info.Product, search.name, UsbDeviceInfo::kStringUnits) == 0;
}

}  // namespace

XtraResult UsbClassPC::FindDevices(DeviceList& list) {
  std::vector<HidCollectionInfo> collections;
  FindCollections(collections);
  try {
    for (const HidCollectionInfo& collection : collections) list.push_back(collection.device);
  } catch (const std::bad_alloc&) {
    result.SetError("Out of memory", XtraResult::kNoCode);
  }
  return result;
}

XtraResult UsbClassPC::FindCollections(std::vector<HidCollectionInfo>& list) {
  result.SetOk();
  DeviceSearch search;
  search.collections = &list;
  try {
    return EnumerateDevices(search);
  } catch (const std::bad_alloc&) {
    result.SetError("Out of memory", XtraResult::kNoCode);
    return result;
  }
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
  // Released however the walk ends, a failed allocation included.
  const std::unique_ptr<void, BOOL(WINAPI*)(HDEVINFO)> setOwner(set, SetupDiDestroyDeviceInfoList);
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

    if (search.mode == SearchMode::ListCollections) {
      HidCollectionInfo collection;
      if (DescribeCollectionAt(detail->DevicePath, collection)) search.collections->push_back(std::move(collection));
      continue;
    }
    // Overlapped: the handle kept on a matched device carries its writes,
    // which must not hold Director's thread when the device stops taking them.
    HANDLE device = OpenInterface(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_OVERLAPPED);
    if (!device) continue;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (HidD_GetAttributes(device, &attributes) && Matches(search, device, attributes)) {
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
  return result;
}

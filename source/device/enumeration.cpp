// One walk over the HID interfaces present, in the setup API's order: list
// them all, or stop at the first that matches and keep a handle on it.
#include <memory>
#include <new>
#include <string>

#include "device/collection_description.h"
#include "device/interface_open.h"
#include "device/usb_class_pc.h"
#include "diagnostics/system_message.h"

namespace {

enum class Lookup { Found, Skipped, End };

// The path of the interface at `index`; an interface that will not tell it
// is skipped.
Lookup InterfacePathAt(HDEVINFO set, const GUID& hidGuid, DWORD index, std::string& path) {
  SP_DEVICE_INTERFACE_DATA interfaceData{};
  interfaceData.cbSize = sizeof interfaceData;
  if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &interfaceData)) return Lookup::End;
  DWORD required = 0;
  SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &required, nullptr);
  if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return Lookup::Skipped;
  const std::unique_ptr<char[]> storage(new char[required]);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.get());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detail, required, nullptr, nullptr))
    return Lookup::Skipped;
  path = detail->DevicePath;
  return Lookup::Found;
}

// Whether the interface open on `device` is the one the search looks for.
bool Matches(const DeviceSearch& search, HANDLE device) {
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  if (!HidD_GetAttributes(device, &attributes)) return false;
  if (search.mode == SearchMode::MatchIds)
    return attributes.VendorID == search.vendorId && attributes.ProductID == search.productId;
  WCHAR product[UsbDeviceInfo::kStringUnits] = {};  // compared whole, past its end too
  ReadProductString(device, product);
  return std::char_traits<WCHAR>::compare(product, search.name, UsbDeviceInfo::kStringUnits) == 0;
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
  DeviceSearch search;
  search.collections = &list;
  return EnumerateDevices(search);
}

XtraResult UsbClassPC::EnumerateDevices(DeviceSearch& search) {
  result.SetOk();
  GUID hidGuid;
  HidD_GetHidGuid(&hidGuid);
  const ScopedDeviceInfoSet set(
      SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set) {
    SetFixedError(result, "Invalid Handle", GetLastError());
    return result;
  }
  try {
    std::string path;
    for (DWORD index = 0;; ++index) {
      const Lookup lookup = InterfacePathAt(set.get(), hidGuid, index, path);
      if (lookup == Lookup::End) break;
      if (lookup == Lookup::Skipped) continue;
      if (search.mode == SearchMode::ListCollections) {
        HidCollectionInfo collection;
        if (DescribeCollectionAt(path.c_str(), collection)) search.collections->push_back(std::move(collection));
        continue;
      }
      // Overlapped: the handle kept on a matched device carries its writes,
      // which must not hold Director's thread when the device stops taking them.
      ScopedHandle device = OpenInterface(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_OVERLAPPED);
      if (device && Matches(search, device.get())) {
        devicePath = path;
        search.found = std::move(device);
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    result.SetError("Out of memory", XtraResult::kNoCode);
  }
  return result;
}

// Listing the HID collections present: a fresh walk every time, and what
// each collection tells of itself from the cache while it stays present.
#include <new>

#include "device/hid_interfaces.h"
#include "device/usb_class_pc.h"

XtraResult UsbClassPC::FindDevices(DeviceList& list) {
  std::vector<const HidCollectionInfo*> present;
  ListPresent(false, present);
  try {
    for (const HidCollectionInfo* collection : present) list.push_back(collection->device);
  } catch (const std::bad_alloc&) {
    result.SetError("Out of memory", XtraResult::kNoCode);
  }
  return result;
}

XtraResult UsbClassPC::FindCollections(std::vector<HidCollectionInfo>& list) {
  std::vector<const HidCollectionInfo*> present;
  ListPresent(true, present);
  try {
    for (const HidCollectionInfo* collection : present) list.push_back(*collection);
  } catch (const std::bad_alloc&) {
    result.SetError("Out of memory", XtraResult::kNoCode);
  }
  return result;
}

// The descriptions stay in the cache, which nothing changes before the
// caller has copied them.
void UsbClassPC::ListPresent(bool withCaps, std::vector<const HidCollectionInfo*>& present) {
  std::vector<std::string> paths;
  try {
    result = ListHidInterfaces(paths);
    collections.KeepOnly(paths);
    for (const std::string& path : paths)
      if (const HidCollectionInfo* collection = collections.Describe(path, withCaps)) present.push_back(collection);
  } catch (const std::bad_alloc&) {
    result.SetError("Out of memory", XtraResult::kNoCode);
  }
}

// One HID top-level collection as FindHidDevices and GetDeviceInfo tell it:
// where it is, whose it is, what it is for and how long its reports are.
#pragma once

#include <cstdint>
#include <string>

#include "device/collection_capabilities.h"
#include "device/usb_device_info.h"

struct HidCollectionInfo {
  std::string path;
  UsbDeviceInfo device{};  // ids and strings
  int32_t releaseNumber = 0;
  CollectionCapabilities caps{};  // zeros when the collection did not tell them
  int32_t interfaceNumber = -1;  // -1: the path names no interface
  // It opens only without read or write access: Windows keeps it to itself.
  bool systemOwned = false;
  // A security key lies in it (device/security_key.h): it is never opened.
  bool securityKey = false;
  // A string read failed for a reason that may pass, as devices refuse them
  // just after they arrive: that string is shown empty, and the next
  // description asks again.
  bool stringsUnread = false;
};

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
};

// Security keys (FIDO U2F and FIDO2) answer only to the origin checks of a
// browser, which keeps them from web pages; a movie, which may come from the
// web, must not reach one around them.
constexpr uint16_t kFidoUsagePage = 0xF1D0;
inline bool IsProtected(const CollectionCapabilities& caps) { return caps.UsagePage == kFidoUsagePage; }

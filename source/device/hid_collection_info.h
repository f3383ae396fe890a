// One HID top-level collection as FindHidDevices and GetDeviceInfo tell it:
// where it is, whose it is, what it is for and how long its reports are.
#pragma once

#include <cstdint>
#include <string>

#include "device/usb_device_info.h"
#include "platform.h"

struct HidCollectionInfo {
  std::string path;
  UsbDeviceInfo device{};  // ids and strings
  int32_t releaseNumber = 0;
  HIDP_CAPS caps{};  // zeros when the collection did not tell them
  int32_t interfaceNumber = -1;  // -1: the path names no interface
  // It opens only without read or write access: Windows keeps it to itself.
  bool systemOwned = false;
};

// Describes the collection open on `handle`, whose path is `path`; false
// when it does not even tell its ids. DescribeDevice leaves the caps alone.
bool DescribeDevice(HANDLE handle, const char* path, HidCollectionInfo& info);
bool DescribeCollection(HANDLE handle, const char* path, HidCollectionInfo& info);
// Opens the collection at `path` just long enough to describe it.
bool DescribeCollectionAt(const char* path, HidCollectionInfo& info);

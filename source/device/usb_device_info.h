// One HID device interface as the script sees it in FindUsbDevices. Its
// strings stay in Windows' UTF-16 until they are handed to Director.
#pragma once

#include <cstdint>
#include <vector>

#include "platform.h"

struct UsbDeviceInfo {
  static constexpr int kStringUnits = 256;

  int32_t VendorID;
  int32_t ProductID;
  WCHAR Product[kStringUnits];
  WCHAR Manufacturer[kStringUnits];
  WCHAR SerialNumberString[kStringUnits];
};

using DeviceList = std::vector<UsbDeviceInfo>;

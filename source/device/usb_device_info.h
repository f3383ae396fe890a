// One HID device interface as the script sees it in FindUsbDevices.
#pragma once

#include <cstdint>
#include <vector>

struct UsbDeviceInfo {
  int32_t VendorID;
  int32_t ProductID;
  char Product[256];
  char Manufacturer[256];
  char SerialNumberString[256];
};

using DeviceList = std::vector<UsbDeviceInfo>;

#include "close_device.h"

const char kCloseDeviceName[] = "Wine HID mouse 0x845E/0x0001, under Wine";

// Wine's mouse is always present; it sends no input reports.
std::string PrepareCloseDevice() { return "33886, 1"; }

// The device whose Close is timed, one per platform: a simulated device
// natively, Wine's HID mouse under Wine.
#pragma once

#include <string>

// Makes the device present; answers its ids as OpenById's arguments.
std::string PrepareCloseDevice();
extern const char kCloseDeviceName[];

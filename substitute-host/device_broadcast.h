// The WM_DEVICECHANGE broadcasts Windows sends, made up so that device
// events can be tried where no device can be plugged in.
#pragma once

#include <string>
#include <vector>

#include "host_windows.h"

enum class InterfaceClass { UsbDevice, HidCollection };
// A device interface of that class arriving or leaving, named by its path
// (UTF-8), in the form Windows hands `window`: UTF-16 to a Unicode window,
// the ANSI code page to any other.
std::vector<char> InterfaceBroadcast(HWND window, const std::string& path,
                                     InterfaceClass interfaceClass = InterfaceClass::UsbDevice);
// Drive E: arriving or leaving, a broadcast that names no device interface.
std::vector<char> VolumeBroadcast();

// The WM_DEVICECHANGE broadcasts Windows sends, made up so that device
// events can be tried where no device can be plugged in.
#pragma once

#include <string>
#include <vector>

enum class InterfaceClass { UsbDevice, HidCollection };
// A device interface of that class arriving or leaving, named by its path.
std::vector<char> InterfaceBroadcast(const std::string& path,
                                     InterfaceClass interfaceClass = InterfaceClass::UsbDevice);
// Drive E: arriving or leaving, a broadcast that names no device interface.
std::vector<char> VolumeBroadcast();

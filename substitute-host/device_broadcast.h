// The WM_DEVICECHANGE broadcasts Windows sends, made up so that device
// events can be tried where no device can be plugged in.
#pragma once

#include <string>
#include <vector>

// A USB device interface arriving or leaving, named by its interface path.
std::vector<char> InterfaceBroadcast(const std::string& path);
// Drive E: arriving or leaving, a broadcast that names no device interface.
std::vector<char> VolumeBroadcast();

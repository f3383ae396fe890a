// A HID collection arriving or leaving, as MonitorHidDevices' handler hears
// of it: one property list with the collection's path, which OpenByPath
// takes, and on arrival what the collection tells of itself.
#pragma once

#include <cstdint>

struct TStdXtra_IMoaMmXScript;

// `path` is the interface path as the broadcast gives it, "\\?\" included.
void FileHidDeviceEvent(TStdXtra_IMoaMmXScript& target, const char* path, uint32_t eventCode);

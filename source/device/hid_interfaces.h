// The HID interfaces present now, as the setup API walks them, and what a
// path must look like to name one.
#pragma once

#include <string>
#include <vector>

#include "diagnostics/xtra_result.h"

// Every present HID interface's path, in the setup API's order. A walk that
// could not be finished, or a path that could not be told, is an error; the
// paths found are still given.
XtraResult ListHidInterfaces(std::vector<std::string>& paths);

// Whether `path` has the form Windows gives a HID collection's interface:
// "\\?\hid#<device>#<instance>#{<the HID interface class>}", nothing beyond,
// so that no file, device or network name ever passes for one.
bool IsHidInterfacePath(const char* path);

// Windows compares device paths without regard to letter case.
bool SamePath(const std::string& one, const char* other);

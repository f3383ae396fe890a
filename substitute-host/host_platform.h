// What xtrahost does differently natively (over the stand-in) and on
// Windows (under Wine).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "xtra_module.h"

// From now on the loaded Xtra's debugger output goes to the sink.
bool CaptureXtraDebugOutput(const XtraModule& xtra, std::function<void(const std::string& line)> sink,
                            std::string* error);
// Where a file that the Xtra opens by a Windows path lies for this program.
std::string HostFilePath(const std::string& windowsPath);
// What the Xtra left open in the system, one line each.
std::vector<std::string> SystemLeaks();

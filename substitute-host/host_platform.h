// What xtrahost does differently natively (over the stand-in) and on
// Windows (under Wine).
#pragma once

#include <functional>
#include <string>
#include <vector>

struct XtraOutputSinks {
  std::function<void(const std::string& caption, const std::string& text)> box;
  std::function<void(const std::string& line)> debug;
};

// From now on the loaded Xtra's message boxes and debugger output go to the
// sinks instead of the screen and a debugger; a box answers OK.
bool CaptureXtraOutput(const std::string& xtraPath, XtraOutputSinks sinks, std::string* error);
// Where a file that the Xtra opens by a Windows path lies for this program.
std::string HostFilePath(const std::string& windowsPath);
// What the Xtra left open in the system, one line each.
std::vector<std::string> SystemLeaks();

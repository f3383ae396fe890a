// Natively the Xtra and xtrahost share the stand-in, whose recorder takes
// the Xtra's debugger output.
#include "host_commands.h"
#include "host_platform.h"
#include "host_windows.h"
#include "standin/control.h"

bool CaptureXtraDebugOutput(const XtraModule&, std::function<void(const std::string&)> sink, std::string*) {
  standin::SetDebugOutputSink(std::move(sink));
  return true;
}

std::string HostFilePath(const std::string& windowsPath) { return standin::NativePath(windowsPath); }

std::vector<std::string> SystemLeaks() {
  // A reader thread that has let go of the module may still be on its way out.
  standin::AwaitThreadsEnded(std::chrono::seconds(2));
  std::vector<std::string> leaks;
  if (standin::OpenHandleCount()) leaks.push_back("open handles: " + standin::DescribeOpenHandles());
  if (const size_t threads = standin::LiveThreadCount())
    leaks.push_back(std::to_string(threads) + " thread(s) still running");
  return leaks;
}

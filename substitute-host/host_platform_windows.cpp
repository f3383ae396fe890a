// On Windows the Xtra calls the system itself: its import of
// OutputDebugStringA is redirected to xtrahost.
#include "host_commands.h"
#include "host_platform.h"
#include "import_patch.h"

namespace {

std::function<void(const std::string&)> gDebugSink;

void WINAPI RecordDebugOutput(LPCSTR line) {
  if (line) gDebugSink(line);
}

}  // namespace

bool CaptureXtraDebugOutput(const XtraModule& xtra, std::function<void(const std::string&)> sink, std::string* error) {
  gDebugSink = std::move(sink);
  return PatchImport(static_cast<HMODULE>(xtra.handle()), "KERNEL32.dll", "OutputDebugStringA",
                     reinterpret_cast<const void*>(&RecordDebugOutput), error);
}

std::string HostFilePath(const std::string& windowsPath) { return windowsPath; }

// Wine answers 0 to GetProcessHandleCount: leak counting is the stand-in's.
std::vector<std::string> SystemLeaks() { return {}; }

// On Windows the Xtra calls the system itself: its imports of MessageBoxA
// and OutputDebugStringA are redirected to xtrahost.
#include "host_commands.h"
#include "host_platform.h"
#include "import_patch.h"

namespace {

XtraOutputSinks gSinks;

int WINAPI RecordMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
  // Windows titles a box without a caption "Error".
  gSinks.box(caption ? caption : "Error", text ? text : "");
  return IDOK;
}

void WINAPI RecordDebugOutput(LPCSTR line) {
  if (line) gSinks.debug(line);
}

}  // namespace

bool CaptureXtraOutput(const std::string& xtraPath, XtraOutputSinks sinks, std::string* error) {
  gSinks = std::move(sinks);
  const std::string fileName = xtraPath.substr(xtraPath.find_last_of("/\\") + 1);
  HMODULE xtra = GetModuleHandleA(fileName.c_str());
  if (!xtra) {
    *error = "the Xtra " + fileName + " is not loaded";
    return false;
  }
  return PatchImport(xtra, "USER32.dll", "MessageBoxA", reinterpret_cast<const void*>(&RecordMessageBox), error) &&
         PatchImport(xtra, "KERNEL32.dll", "OutputDebugStringA", reinterpret_cast<const void*>(&RecordDebugOutput),
                     error);
}

std::string HostFilePath(const std::string& windowsPath) { return windowsPath; }

// Wine answers 0 to GetProcessHandleCount: leak counting is the stand-in's.
std::vector<std::string> SystemLeaks() { return {}; }

// Windows has real devices only; the simulated bus is the stand-in's.
std::vector<CommandInfo> DeviceCommands() { return {}; }

// Sends WM_DEVICECHANGE to the Xtra's hidden window as Windows would, so
// that device events can be tried where no device can be plugged in.
#include <cstddef>
#include <cstring>
#include <vector>

#include "host_commands.h"
#include "platform.h"

namespace {

constexpr char kWindowName[] = "HIDBRIDGE_WND";
constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

std::vector<char> InterfaceBroadcast(const std::string& path) {
  std::vector<char> payload(offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + path.size() + 1, '\0');
  auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(payload.data());
  broadcast->dbcc_size = static_cast<DWORD>(payload.size());
  broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  broadcast->dbcc_classguid = kUsbDeviceInterface;
  std::memcpy(broadcast->dbcc_name, path.c_str(), path.size() + 1);
  return payload;
}

// Drive E: arriving or leaving, a broadcast that names no device interface.
std::vector<char> VolumeBroadcast() {
  std::vector<char> payload(sizeof(DEV_BROADCAST_VOLUME), '\0');
  auto* broadcast = reinterpret_cast<DEV_BROADCAST_VOLUME*>(payload.data());
  broadcast->dbcv_size = sizeof(DEV_BROADCAST_VOLUME);
  broadcast->dbcv_devicetype = DBT_DEVTYP_VOLUME;
  broadcast->dbcv_unitmask = 1u << ('E' - 'A');
  return payload;
}

bool ReadEventCode(CommandArguments& arguments, WPARAM* code) {
  if (arguments.TakeWord("arrival")) {
    *code = DBT_DEVICEARRIVAL;
    return true;
  }
  if (arguments.TakeWord("removecomplete")) {
    *code = DBT_DEVICEREMOVECOMPLETE;
    return true;
  }
  int32_t number = 0;
  if (!arguments.Integer("arrival, removecomplete or an event code", &number)) return false;
  *code = static_cast<WPARAM>(static_cast<uint32_t>(number));
  return true;
}

}  // namespace

bool SendDeviceChange(CommandContext& context) {
  CommandArguments& arguments = context.arguments;
  WPARAM code = 0;
  if (!ReadEventCode(arguments, &code)) return false;
  std::vector<char> payload;
  std::string path;
  if (arguments.TakeWord("volume"))
    payload = VolumeBroadcast();
  else if (arguments.String("a device path or volume", &path))
    payload = InterfaceBroadcast(path);
  else
    return false;
  if (!arguments.End()) return false;

  HWND window = FindWindowA(kWindowName, kWindowName);
  if (!window) {
    context.transcript.Note("no window \"HIDBRIDGE_WND\": nothing listens for device changes");
    return true;
  }
  SendMessageA(window, WM_DEVICECHANGE, code, reinterpret_cast<LPARAM>(payload.data()));
  return true;
}

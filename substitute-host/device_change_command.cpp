// Sends WM_DEVICECHANGE to the Xtra's hidden window as Windows would, so
// that device events can be tried where no device can be plugged in.
#include <vector>

#include "device_broadcast.h"
#include "host_commands.h"
#include "host_windows.h"

namespace {

constexpr char kWindowName[] = "HIDBRIDGE_WND";
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
  std::string path;
  // "hid" before the path: a HID collection's interface rather than a USB device's.
  const InterfaceClass interfaceClass =
      arguments.TakeWord("hid") ? InterfaceClass::HidCollection : InterfaceClass::UsbDevice;
  const bool volume = interfaceClass == InterfaceClass::UsbDevice && arguments.TakeWord("volume");
  if (!volume && !arguments.String("a device path or volume", &path)) return false;
  if (!arguments.End()) return false;

  // The Xtra's window is message-only: FindWindow would not find it.
  HWND window = FindWindowExA(HWND_MESSAGE, nullptr, kWindowName, kWindowName);
  if (!window) {
    context.transcript.Note("no window \"HIDBRIDGE_WND\": nothing listens for device changes");
    return true;
  }
  const std::vector<char> payload = volume ? VolumeBroadcast() : InterfaceBroadcast(window, path, interfaceClass);
  // As Windows sends it: straight to the window procedure, on the host's thread.
  context.host.SendWindowMessage(window, WM_DEVICECHANGE, code, reinterpret_cast<LPARAM>(payload.data()));
  return true;
}

// Device notifications: windows registered for the USB device interface
// class hear of every device plugged into or pulled from the bus, windows
// registered for the HID interface class of its collection, each with the
// interface path in the form current Windows writes it, in UTF-16 for a
// Unicode window.
#include <cstdio>
#include <cstring>
#include <mutex>

#include "standin/dbt.h"
#include "standin/kernel.h"
#include "standin/simulated_bus.h"
#include "hid_guid.h"
#include "standin/window_control.h"
#include "faults.h"
#include "text_conversions.h"
#include "window_state.h"

using namespace standin::detail;

namespace {

constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// The hex digits after a marker such as "vid_" in a HID path, in capitals.
std::string IdAfter(const std::string& path, const char* marker) {
  const size_t at = FoldCase(path.c_str()).find(marker);
  if (at == std::string::npos) return "0000";
  std::string id = path.substr(at + std::strlen(marker), 4);
  for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return id;
}

// \\?\hid#vid_046d&pid_c52b&col01#<instance>#{...} names the USB device
// \\?\USB#VID_046D&PID_C52B#<instance>#{a5dcbf10-...}.
std::string UsbInterfacePath(const std::string& hidPath) {
  std::string instance;
  const size_t first = hidPath.find('#');
  const size_t second = first == std::string::npos ? first : hidPath.find('#', first + 1);
  const size_t third = second == std::string::npos ? second : hidPath.find('#', second + 1);
  if (third != std::string::npos) instance = hidPath.substr(second + 1, third - second - 1);
  return "\\\\?\\USB#VID_" + IdAfter(hidPath, "vid_") + "&PID_" + IdAfter(hidPath, "pid_") + "#" + instance +
         "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
}

// A broadcast names a HID collection in capitals up to its class:
// \\?\HID#VID_046D&PID_C52B&MI_01&COL02#7&1A2B&0&0000#{4d1e55b2-...}.
std::string HidBroadcastPath(const std::string& path) {
  std::string named = path;
  const size_t classPart = named.rfind('#');
  for (size_t i = 0; i < classPart && i < named.size(); ++i)
    named[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(named[i])));
  return named;
}

// What a window of each kind finds at lParam: a Unicode window the UTF-16
// form, any other the path in the system's code page.
std::vector<char> Broadcast(const GUID& interfaceClass, const std::string& path, bool unicode) {
  std::u16string wide = WideFromUtf8(path);
  std::string narrow = AnsiFromWide(wide);
  wide.push_back(u'\0');
  narrow.push_back('\0');
  const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
  const size_t nameBytes = unicode ? wide.size() * sizeof(WCHAR) : narrow.size();
  std::vector<char> payload(offset + nameBytes, '\0');
  auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(payload.data());
  broadcast->dbcc_size = static_cast<DWORD>(payload.size());
  broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  broadcast->dbcc_classguid = interfaceClass;
  std::memcpy(payload.data() + offset, unicode ? static_cast<const void*>(wide.data()) : narrow.data(), nameBytes);
  return payload;
}

// With the window lock held.
void PostBroadcast(WPARAM code, const GUID& interfaceClass, const std::string& path) {
  for (const auto& [handle, notification] : Windows().notifications) {
    if (!notification.allInterfaceClasses && !SameGuid(notification.classGuid, interfaceClass)) continue;
    const Window* window = FindWindowLocked(notification.window);
    if (!window) continue;
    const MSG message{notification.window, WM_DEVICECHANGE, code, 0, 0, {}};
    Windows().queues[window->thread].push_back({message, true, Broadcast(interfaceClass, path, window->unicode)});
  }
}

// The USB device arrives before its collection and leaves after it.
void BroadcastBusEvent(const standin::BusEvent& event) {
  const bool arrival = event.kind == standin::BusEvent::Kind::Arrival;
  const WPARAM code = arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
  std::lock_guard lock(Windows().mutex);
  if (!arrival) PostBroadcast(code, kHidInterfaceGuid, HidBroadcastPath(event.path));
  PostBroadcast(code, kUsbDeviceInterface, UsbInterfacePath(event.path));
  if (arrival) PostBroadcast(code, kHidInterfaceGuid, HidBroadcastPath(event.path));
}

void ListenToTheBus() {
  static std::once_flag once;
  std::call_once(once, [] { standin::AddBusListener(BroadcastBusEvent); });
}

}  // namespace

namespace standin {

std::size_t DeviceNotificationCount() {
  std::lock_guard lock(Windows().mutex);
  return Windows().notifications.size();
}

}  // namespace standin

extern "C" {

// The filter's name is not read: the _A and _W forms agree up to it.
HDEVNOTIFY WINAPI RegisterDeviceNotificationA(HANDLE hRecipient, LPVOID NotificationFilter, DWORD Flags) {
  const auto* header = static_cast<const DEV_BROADCAST_HDR*>(NotificationFilter);
  if ((Flags & ~DEVICE_NOTIFY_ALL_INTERFACE_CLASSES) != DEVICE_NOTIFY_WINDOW_HANDLE || !header ||
      header->dbch_size < sizeof(DEV_BROADCAST_HDR) || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE ||
      header->dbch_size < offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  ListenToTheBus();
  const auto* filter = static_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(NotificationFilter);
  std::lock_guard lock(Windows().mutex);
  HWND window = static_cast<HWND>(hRecipient);
  if (!FindWindowLocked(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  auto handle = reinterpret_cast<HDEVNOTIFY>(static_cast<uintptr_t>(0x20000 + 4 * ++Windows().notificationsMade));
  Windows().notifications[handle] = {window, filter->dbcc_classguid, (Flags & DEVICE_NOTIFY_ALL_INTERFACE_CLASSES) != 0};
  return handle;
}

const FaultPoint kRegisterDeviceNotificationWFault{"RegisterDeviceNotificationW"};

HDEVNOTIFY WINAPI RegisterDeviceNotificationW(HANDLE hRecipient, LPVOID NotificationFilter, DWORD Flags) {
  if (kRegisterDeviceNotificationWFault.Fails()) return nullptr;
  return RegisterDeviceNotificationA(hRecipient, NotificationFilter, Flags);
}

BOOL WINAPI UnregisterDeviceNotification(HDEVNOTIFY Handle) {
  std::lock_guard lock(Windows().mutex);
  if (Windows().notifications.erase(Handle) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

}  // extern "C"

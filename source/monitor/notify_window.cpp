#include "monitor/notify_window.h"

#include <cstddef>
#include <cstring>

#include "device/collection_cache.h"
#include "device/interface_path.h"
#include "diagnostics/system_message.h"
#include "host/interface_objects.h"
#include "monitor/hid_device_events.h"
#include "monitor/window_owners.h"
#include "values/director_context.h"
#include "values/host_services.h"
#include "values/host_text.h"

namespace {

constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
constexpr GUID kHidInterface = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
// The longest path a broadcast is read to, in UTF-16 units; interface paths
// are far shorter.
constexpr size_t kPathUnits = 1024;

// Reset in the reverse order of making: the registrations before their
// window, the window before its class.
struct MonitorState {
  ScopedScriptReference target;
  ScopedWindowClass windowClass;
  bool classRegistrationAttempted = false;
  ScopedWindow window;
  ScopedDeviceNotification usbNotification;
  // HID collections too, for MonitorHidDevices; its events go their own way.
  ScopedDeviceNotification hidNotification;
};

// Made on first use and freed, empty, once the module may be unloaded
// (ReleaseNotifyWindowClass): no destructor of a static may hand anything
// back to Windows or Director while the process ends.
MonitorState* gMonitor = nullptr;

MonitorState& Monitor() {
  if (!gMonitor) gMonitor = new MonitorState;
  return *gMonitor;
}

XtraResult Ok() {
  XtraResult result;
  result.SetOk();
  return result;
}

// A Unicode class: Windows then hands its windows device broadcasts in
// UTF-16, the only form Wine hands any window.
void RegisterWindowClass() {
  MonitorState& monitor = Monitor();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(nullptr, kNotifyWindowName, &existing) || monitor.classRegistrationAttempted) return;
  monitor.classRegistrationAttempted = true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = NotifyWindowProc;
  windowClass.lpszClassName = kNotifyWindowName;
  // A failure shows when the window cannot be made.
  monitor.windowClass.reset(RegisterClassExW(&windowClass));
}

ScopedDeviceNotification Listen(HWND window, const GUID& interfaceClass) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = interfaceClass;
  return ScopedDeviceNotification(RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
}

void StopNotifyWindow() {
  MonitorState& monitor = Monitor();
  monitor.usbNotification.reset();
  monitor.hidNotification.reset();
  monitor.window.reset();
}

// A message-only window: Windows hands it the broadcasts it registered for,
// and it is this process's own, found through its state, never by name: a
// top-level window of this name may be another process's copy of the Xtra.
XtraResult StartNotifyWindow() {
  RegisterWindowClass();
  MonitorState& monitor = Monitor();
  XtraResult result;
  result.SetOk();
  monitor.window.reset(CreateWindowExW(0, kNotifyWindowName, kNotifyWindowName, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr));
  if (monitor.window) monitor.usbNotification = Listen(monitor.window.get(), kUsbDeviceInterface);
  if (monitor.usbNotification) monitor.hidNotification = Listen(monitor.window.get(), kHidInterface);
  if (!monitor.hidNotification) {
    SetSystemError(result, "Could not listen for device changes", GetLastError());
    StopNotifyWindow();
  }
  return result;
}

// The broadcast's own size bounds its path, terminated or not; up to `skip`
// units of its start are left out. The path comes in the host's encoding,
// as every text the movie sees.
void CopyBroadcastPath(const DEV_BROADCAST_DEVICEINTERFACE_W& broadcast, size_t skipAtMost, char (&path)[1024]) {
  const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
  const size_t available = broadcast.dbcc_size > offset ? (broadcast.dbcc_size - offset) / sizeof(WCHAR) : 0;
  const WCHAR* name = broadcast.dbcc_name;
  size_t skip = 0;
  while (skip < skipAtMost && skip < available && name[skip]) ++skip;
  WCHAR wide[kPathUnits];
  size_t length = 0;
  while (skip + length < available && length + 1 < kPathUnits && name[skip + length]) {
    wide[length] = name[skip + length];
    ++length;
  }
  wide[length] = 0;
  WideToHostText(wide, path, sizeof path);
}

// Files the arrival or removal for the monitoring instance, inside Director's
// movie context: the window procedure is no call that Director started.
void FileDeviceChange(const DEV_BROADCAST_DEVICEINTERFACE_W& broadcast, WPARAM wParam) {
  const bool hid = std::memcmp(&broadcast.dbcc_classguid, &kHidInterface, sizeof(GUID)) == 0;
  if (hid && wParam == DBT_DEVICEREMOVECOMPLETE) CollectionCache::ForgetEverything();
  TStdXtra_IMoaMmXScript* target = MonitorTarget();
  if (!target) return;
  HostServices* services = target->owner->hostServices;
  const DirectorContextScope inDirector(services ? services->movieContext() : nullptr);
  // Outside its context Director must not be called at all.
  if (!inDirector.entered()) {
    OutputDebugStringA("HidBridge: a device event was lost, Director refused its movie context\n");
    return;
  }
  char path[1024];
  if (hid) {
    // The whole path, which OpenByPath takes.
    CopyBroadcastPath(broadcast, 0, path);
    FileHidDeviceEvent(*target, path, static_cast<uint32_t>(wParam));
    return;
  }
  // The path without the "\\?\" of the system's interface paths. An event
  // whose path names no device reports no ids.
  CopyBroadcastPath(broadcast, 4, path);
  int32_t vendorId = 0;
  int32_t productId = 0;
  ParseVidPid(path, &vendorId, &productId);
  target->HandleDevicesChangeMessage(path, static_cast<uint32_t>(wParam), vendorId, productId);
}

}  // namespace

// The target is referenced while it is one: a movie may let go of its object
// without forget, and events must not then reach a freed one.
XtraResult SetMonitorTarget(TStdXtra_IMoaMmXScript* target) {
  MonitorState& monitor = Monitor();
  if (target) target->AddRef();
  // Let go of only once monitoring has moved on.
  const ScopedScriptReference previous(monitor.target.release());
  monitor.target.reset(target);
  XtraResult result = Ok();
  if (target && !monitor.window)
    result = StartNotifyWindow();
  else if (!target && monitor.window)
    StopNotifyWindow();
  // A monitor that cannot listen is none: the movie hears so, not "Ok".
  if (result.isError) monitor.target.reset();
  return result;
}

void ReleaseNotifyWindowClass() {
  if (!gMonitor) return;
  StopNotifyWindow();
  gMonitor->windowClass.reset();
  delete gMonitor;
  gMonitor = nullptr;
}

TStdXtra_IMoaMmXScript* MonitorTarget() { return gMonitor ? gMonitor->target.get() : nullptr; }

void StopMonitoringFor(XtraInstance& instance) {
  TStdXtra_IMoaMmXScript* target = MonitorTarget();
  if (target && target->owner == &instance) SetMonitorTarget(nullptr);
}

bool NotifyWindowExists() { return gMonitor && gMonitor->window; }

LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_DEVICECHANGE) return DefWindowProcW(window, message, wParam, lParam);
  if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) return 0;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
  if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE ||
      header->dbch_size < offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name))
    return 0;
  // No exception may reach Windows' message dispatch, nor Director's.
  try {
    FileDeviceChange(*reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header), wParam);
  } catch (const std::bad_alloc&) {
    OutputDebugStringA("HidBridge: a device event was lost for want of memory\n");
  }
  return 0;
}

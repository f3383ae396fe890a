#include "monitor/notify_window.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "device/collection_cache.h"
#include "device/interface_path.h"
#include "host/interface_objects.h"
#include "monitor/hid_device_events.h"
#include "values/director_context.h"
#include "values/host_services.h"

namespace {

constexpr char kWindowName[] = "HIDBRIDGE_WND";
constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
constexpr GUID kHidInterface = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

struct MonitorState {
  WNDCLASSEXA windowClass;
  ATOM classAtom;
  bool classRegistrationAttempted;
  HWND window;
  HDEVNOTIFY notification;
  DEV_BROADCAST_DEVICEINTERFACE_A filter;
  // HID collections too, for MonitorHidDevices; its events go their own way.
  HDEVNOTIFY hidNotification;
  TStdXtra_IMoaMmXScript* target;
  char lastDevicePath[1024];
  int32_t lastVendorId;
  int32_t lastProductId;
};

MonitorState gMonitor = {};

XtraResult Ok() {
  XtraResult result;
  result.SetOk();
  return result;
}

XtraResult StartNotifyWindow() {
  gMonitor.notification = nullptr;
  gMonitor.hidNotification = nullptr;
  gMonitor.windowClass.cbSize = sizeof(WNDCLASSEXA);
  if (!GetClassInfoExA(nullptr, kWindowName, &gMonitor.windowClass)) {
    gMonitor.windowClass = WNDCLASSEXA{};
    gMonitor.windowClass.cbSize = sizeof(WNDCLASSEXA);
    gMonitor.windowClass.style = CS_HREDRAW | CS_VREDRAW;
    gMonitor.windowClass.lpfnWndProc = NotifyWindowProc;
    gMonitor.windowClass.lpszClassName = kWindowName;
    if (!gMonitor.classRegistrationAttempted) {
      gMonitor.classRegistrationAttempted = true;
      // A failure shows when the window cannot be made.
      gMonitor.classAtom = RegisterClassExA(&gMonitor.windowClass);
    }
  }
  // Another copy of the Xtra, in this process or another, already listens.
  if (FindWindowA(kWindowName, kWindowName)) return Ok();
  gMonitor.window = CreateWindowExA(0, kWindowName, kWindowName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                    CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
  if (!gMonitor.window) {
    // No script can be told (monitoring answers nothing), but a debugger can.
    char line[96];
    std::snprintf(line, sizeof line, "HidBridge: no device monitoring, the window failed (error %lu)\n",
                  static_cast<unsigned long>(GetLastError()));
    OutputDebugStringA(line);
    return Ok();
  }
  gMonitor.filter = DEV_BROADCAST_DEVICEINTERFACE_A{};
  gMonitor.filter.dbcc_size = sizeof(DEV_BROADCAST_DEVICEINTERFACE_A);
  gMonitor.filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  gMonitor.filter.dbcc_classguid = kUsbDeviceInterface;
  gMonitor.notification =
      RegisterDeviceNotificationA(gMonitor.window, &gMonitor.filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  DEV_BROADCAST_DEVICEINTERFACE_A hidFilter = gMonitor.filter;
  hidFilter.dbcc_classguid = kHidInterface;
  gMonitor.hidNotification = RegisterDeviceNotificationA(gMonitor.window, &hidFilter, DEVICE_NOTIFY_WINDOW_HANDLE);
  return Ok();
}

XtraResult StopNotifyWindow() {
  if (!gMonitor.window) return Ok();
  for (HDEVNOTIFY* registration : {&gMonitor.notification, &gMonitor.hidNotification}) {
    if (*registration) UnregisterDeviceNotification(*registration);
    *registration = nullptr;
  }
  DestroyWindow(gMonitor.window);
  gMonitor.window = nullptr;
  return Ok();
}

// The broadcast's own size bounds its path, terminated or not; up to `skip`
// characters of its start are left out.
void CopyBroadcastPath(const DEV_BROADCAST_DEVICEINTERFACE_A& broadcast, size_t skipAtMost, char (&path)[1024]) {
  const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
  const size_t available = broadcast.dbcc_size > offset ? broadcast.dbcc_size - offset : 0;
  const char* name = broadcast.dbcc_name;
  size_t skip = 0;
  while (skip < skipAtMost && skip < available && name[skip]) ++skip;
  size_t length = 0;
  while (skip + length < available && length + 1 < sizeof path && name[skip + length]) {
    path[length] = name[skip + length];
    ++length;
  }
  path[length] = '\0';
}

// Files the arrival or removal for the monitoring instance, inside Director's
// movie context: the window procedure is no call that Director started.
void FileDeviceChange(const DEV_BROADCAST_DEVICEINTERFACE_A& broadcast, WPARAM wParam) {
  TStdXtra_IMoaMmXScript* target = gMonitor.target;
  HostServices* services = target ? target->owner->hostServices : nullptr;
  DirectorContextScope inDirector(services ? services->movieContext() : nullptr);

  if (std::memcmp(&broadcast.dbcc_classguid, &kHidInterface, sizeof(GUID)) == 0) {
    // The whole path, which OpenByPath takes.
    char path[1024];
    CopyBroadcastPath(broadcast, 0, path);
    if (wParam == DBT_DEVICEREMOVECOMPLETE) CollectionCache::ForgetEverything();
    if (target) FileHidDeviceEvent(*target, path, static_cast<uint32_t>(wParam));
    return;
  }
  // The path without the "\\?\" of the system's interface paths.
  CopyBroadcastPath(broadcast, 4, gMonitor.lastDevicePath);
  // An event whose path names no device reports no ids, not an earlier one's.
  gMonitor.lastVendorId = 0;
  gMonitor.lastProductId = 0;
  ParseVidPid(gMonitor.lastDevicePath, &gMonitor.lastVendorId, &gMonitor.lastProductId);
  if (target) {
    target->HandleDevicesChangeMessage(gMonitor.lastDevicePath, static_cast<uint32_t>(wParam), gMonitor.lastVendorId,
                                       gMonitor.lastProductId);
  }
}

}  // namespace

// The target is referenced while it is one: a movie may let go of its object
// without forget, and events must not then reach a freed script object.
XtraResult SetMonitorTarget(TStdXtra_IMoaMmXScript* target) {
  TStdXtra_IMoaMmXScript* previous = gMonitor.target;
  if (target) target->AddRef();
  gMonitor.target = target;
  const XtraResult result = target && !gMonitor.window   ? StartNotifyWindow()
                            : !target && gMonitor.window ? StopNotifyWindow()
                                                         : Ok();
  if (previous) previous->Release();
  return result;
}

void ReleaseNotifyWindowClass() {
  StopNotifyWindow();
  if (gMonitor.classAtom) UnregisterClassA(kWindowName, nullptr);
  gMonitor.classAtom = 0;
  gMonitor.classRegistrationAttempted = false;
}

TStdXtra_IMoaMmXScript* MonitorTarget() { return gMonitor.target; }

void StopMonitoringFor(XtraInstance& instance) {
  TStdXtra_IMoaMmXScript* target = MonitorTarget();
  if (target && target->owner == &instance) SetMonitorTarget(nullptr);
}

bool NotifyWindowExists() { return gMonitor.window != nullptr; }

LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_DEVICECHANGE) return DefWindowProcA(window, message, wParam, lParam);
  if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) return 0;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
  if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE ||
      header->dbch_size < offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name))
    return 0;
  // No exception may reach Windows' message dispatch, nor Director's.
  try {
    FileDeviceChange(*reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header), wParam);
  } catch (const std::bad_alloc&) {
    OutputDebugStringA("HidBridge: a device event was lost for want of memory\n");
  }
  return 0;
}

// Owners of what the notification window is made of: the window, its device
// notifications, its class and the script object it reports to. Each is
// given back when its owner goes or is reset, in the order the owners are
// reset, never by hand.
#pragma once

#include "device/scoped_resources.h"
#include "platform.h"

struct TStdXtra_IMoaMmXScript;

struct WindowTraits {
  using Value = HWND;
  static bool IsValid(HWND window) { return window != nullptr; }
  static void Free(HWND window);
};

struct DeviceNotificationTraits {
  using Value = HDEVNOTIFY;
  static bool IsValid(HDEVNOTIFY registration) { return registration != nullptr; }
  static void Free(HDEVNOTIFY registration);
};

// A class this module registered: unregistered by its name, which is the
// notification window's.
struct WindowClassTraits {
  using Value = ATOM;
  static bool IsValid(ATOM atom) { return atom != 0; }
  static void Free(ATOM atom);
};

// One reference on a script object, taken by whoever hands it over.
struct ScriptReferenceTraits {
  using Value = TStdXtra_IMoaMmXScript*;
  static bool IsValid(TStdXtra_IMoaMmXScript* script) { return script != nullptr; }
  static void Free(TStdXtra_IMoaMmXScript* script);
};

using ScopedWindow = ScopedResource<WindowTraits>;
using ScopedDeviceNotification = ScopedResource<DeviceNotificationTraits>;
using ScopedWindowClass = ScopedResource<WindowClassTraits>;
using ScopedScriptReference = ScopedResource<ScriptReferenceTraits>;

// The class and window name of the notification window.
extern const WCHAR kNotifyWindowName[];

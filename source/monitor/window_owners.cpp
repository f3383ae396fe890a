#include "monitor/window_owners.h"

#include "host/interface_objects.h"

const WCHAR kNotifyWindowName[] = WIDE_TEXT("HIDBRIDGE_WND");

void WindowTraits::Free(HWND window) { DestroyWindow(window); }

void DeviceNotificationTraits::Free(HDEVNOTIFY registration) { UnregisterDeviceNotification(registration); }

void WindowClassTraits::Free(ATOM) { UnregisterClassW(kNotifyWindowName, nullptr); }

void ScriptReferenceTraits::Free(TStdXtra_IMoaMmXScript* script) { script->Release(); }

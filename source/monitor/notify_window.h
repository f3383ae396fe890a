// The hidden window through which Windows tells of USB devices and HID
// collections arriving and leaving. One per process, whatever other
// processes run the Xtra: the instance that asked last hears every event.
#pragma once

#include <cstdint>

#include "diagnostics/xtra_result.h"
#include "platform.h"

struct TStdXtra_IMoaMmXScript;
struct XtraInstance;

// Starts monitoring for `target`, or stops it for everyone when null. An
// error when Windows would not make or register the window: nothing
// monitors then.
XtraResult SetMonitorTarget(TStdXtra_IMoaMmXScript* target);
TStdXtra_IMoaMmXScript* MonitorTarget();
// Ends monitoring if this instance receives the events.
void StopMonitoringFor(XtraInstance& instance);
// The window class names a procedure of this module: it must not outlive the
// module, or a later copy of the Xtra would make windows with a dead one.
void ReleaseNotifyWindowClass();
bool NotifyWindowExists();

LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

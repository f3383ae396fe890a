// Filing Lingo callbacks, and delivering them when the host notifies us.
#include "device/usb_class_base.h"
#include "diagnostics/bounded_text.h"
#include "host/input_delivery.h"
#include "host/interface_objects.h"
#include "host/script_instance.h"
#include "platform.h"
#include "values/host_services.h"

MoaError MOA_CALL TStdXtra_IMoaMmXScript::QueueCallback(const char* handlerName, int32_t argCount,
                                                        const MoaMmValue* args) {
  XtraInstance& instance = *owner;
  HostServices* services = instance.hostServices;
  if (!services || instance.forgetPending) return kMoaErr_NoErr;
  const XtraResult filed = services->callbacks().Enqueue(services->values(), handlerName, argCount, args);
  if (filed.isError) {
    // The filer is not told, so at least a debugger shows what the movie missed.
    char line[600];
    FormatText(line, sizeof line, "HidBridge: callback %s dropped: %s\n", handlerName, filed.message);
    OutputDebugStringA(line);
  }
  if (instance.fileLogOn) services->LogCallbackArguments(argCount, args);
  return kMoaErr_NoErr;
}

MoaError MOA_CALL TStdXtra_IMoaNotificationClient::Notify(const MoaID*, void*, void*) {
  XtraInstance& instance = *owner;
  // A handler, or a method's message box, may let Director idle: delivery
  // never runs inside a delivery or a method call of its instance.
  if (instance.deliveringCallbacks || instance.methodCallsRunning > 0) return kMoaErr_NoErr;
  // A handler may forget the instance, which lets go of this client.
  AddRef();
  HostServices* services = instance.hostServices;
  if (services && !instance.forgetPending) {
    instance.deliveringCallbacks = true;
    services->callbacks().DeliverPendingCallbacks(services->values(), services->player());
    // After what was filed before this idle; what the reader met is filed
    // behind the reports and delivered with this idle's calls.
    DeliverInput(instance);
    services->callbacks().DeliverPendingCallbacks(services->values(), services->player());
    instance.deliveringCallbacks = false;
    FinishPendingForget(instance);
  }
  if (UsbClassBase* device = instance.device) {
    device->IdleHook1();
    device->IdleHook2();
  }
  Release();
  return kMoaErr_NoErr;
}

// Filing Lingo callbacks, and delivering them when the host notifies us.
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"
#include "host/interface_objects.h"
#include "host/script_instance.h"
#include "platform.h"
#include "values/host_services.h"

MoaError MOA_CALL TStdXtra_IMoaMmXScript::QueueCallback(const char* handlerName, int32_t argCount,
                                                        const MoaMmValue* args) {
  XtraInstance& instance = *owner;
  HostServices* services = instance.hostServices;
  if (!services) return kMoaErr_NoErr;
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
  // A handler may forget the instance, which lets go of this client.
  AddRef();
  if (HostServices* services = instance.hostServices) {
    instance.deliveringCallbacks = true;
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

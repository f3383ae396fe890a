#include "host/script_instance.h"

#include <new>

#include "device/usb_class_base.h"
#include "diagnostics/bounded_text.h"
#include "host/interface_objects.h"
#include "monitor/notify_window.h"
#include "values/host_services.h"
#include "values/host_text.h"

namespace {

int32_t gNextInstanceId = 1;

// At most this many ms between idle notifications; Director keeps the address.
const MoaLong kIdleInterval = 100;

int32_t ReportErrorToMovie(void* script, const char* message, int32_t) {
  static_cast<TStdXtra_IMoaMmXScript*>(script)->InformUserViaCallbackOfUserError("Error", message, "");
  return 0;
}

void DestroyHostServices(XtraInstance& instance) {
  if (instance.fileLogOn) {
    instance.hostServices->CloseLog();
    instance.fileLogOn = false;
  }
  delete instance.hostServices;
  instance.hostServices = nullptr;
}

}  // namespace

MoaError MOA_CALL XtraInstanceCreate(void* data) {
  auto* instance = static_cast<XtraInstance*>(data);
  new (static_cast<XtraInstanceState*>(instance)) XtraInstanceState();

  LearnHostEncoding(instance->pCallback);
  instance->showErrorDialogs = true;
  instance->hostServices = new (std::nothrow) HostServices(instance->pCallback);
  CopyText(instance->internalErrorHandler, "HidBridge_InternalError");
  CopyText(instance->xtraErrorHandler, "HidBridge_XtraError");
  CopyText(instance->flowHandler, "HidBridge_XtraFlow");
  if (instance->hostServices) instance->hostServices->SetLogFileName("c:\\HidBridge_XtraLog.txt");
  instance->lastResult.SetOk();
  CopyText(instance->replyText, "Ok");
  instance->flowTraceThreshold = 50;
  instance->instanceId = gNextInstanceId++;
  return kMoaErr_NoErr;
}

// Director disposes of an instance only once nothing refers to it, which a
// registered notification client prevents; so an instance that reaches this
// point without forget (registration makes one) still owes its host services.
void MOA_CALL XtraInstanceDestroy(void* data) {
  auto* instance = static_cast<XtraInstance*>(data);
  ForgetInstance(*instance);
  FinishPendingForget(*instance);
  static_cast<XtraInstanceState*>(instance)->~XtraInstanceState();
}

void NewInstance(XtraInstance& instance, TStdXtra_IMoaMmXScript& script) {
  // New after a forget whose end is still pending takes the instance back.
  instance.forgetPending = false;
  // A second new on a live instance must not leak the first device.
  if (!instance.device) script.CreateNewInstance();
  // Only now is there a movie: at registration Director has none yet.
  if (instance.hostServices) instance.hostServices->BindMovieContext();
  instance.lastResult.SetListener(&script, ReportErrorToMovie);
  if (instance.notificationClient || !instance.hostServices) return;
  void* client = nullptr;
  if (instance.Self()->QueryInterface(&IID_IMoaNotificationClient, &client) != kMoaErr_NoErr) return;
  instance.notificationClient = static_cast<IMoaNotificationClient*>(client);
  if (IMoaNotification* notification = instance.hostServices->notification())
    notification->RegisterNotificationClient(instance.notificationClient, &NID_DrNIdle,
                                             &kIdleInterval, &instance);
}

void ForgetInstance(XtraInstance& instance) {
  if (instance.notificationClient) {
    if (instance.hostServices && instance.hostServices->notification())
      instance.hostServices->notification()->UnregisterNotificationClient(
          instance.notificationClient, &NID_DrNIdle, &kIdleInterval);
    instance.notificationClient->Release();
    instance.notificationClient = nullptr;
  }
  instance.flowTraceOn = false;
  if (instance.device) {
    StopMonitoringFor(instance);
    instance.device->Close();
  }
  if (instance.hostServices) instance.hostServices->callbacks().DropAll();
  instance.forgetPending = true;
}

void FinishPendingForget(XtraInstance& instance) {
  if (!instance.forgetPending) return;
  instance.forgetPending = false;
  delete instance.device;
  instance.device = nullptr;
  if (instance.hostServices) DestroyHostServices(instance);
}

MoaError MOA_CALL TStdXtra_IMoaMmXScript::CreateNewInstance() {
  ExecutionFlow("CreateNewInstance", "Enter", 50);
  owner->device = UsbClassBase::Make();
  ExecutionFlow("CreateNewInstance", "Created Windows object", 50);
  ExecutionFlow("CreateNewInstance", "Exit", 50);
  return kMoaErr_NoErr;
}

XtraResult MOA_CALL TStdXtra_IMoaMmXScript::ClearLastResult() {
  owner->lastResult.SetOk();
  return owner->lastResult;
}

// A device arrival or removal as the movie hears of it: one property list,
// filed for each monitoring handler that wants the device.
#include "host/interface_objects.h"
#include "platform.h"
#include "values/host_services.h"

namespace {

bool WantsDevice(const XtraInstance& instance, int32_t vendorId, int32_t productId) {
  return (instance.monitorVendorId == 0 || instance.monitorVendorId == vendorId) &&
         (instance.monitorProductId == 0 || instance.monitorProductId == productId);
}

}  // namespace

MoaError MOA_CALL TStdXtra_IMoaMmXScript::HandleDevicesChangeMessage(const char* devicePath, uint32_t eventCode,
                                                                     int32_t vendorId, int32_t productId) {
  XtraInstance& instance = *owner;
  ExecutionFlow("HandleDevicesChangeMessage", "Enter", 50);
  HostServices* services = instance.hostServices;
  const char* type = eventCode == DBT_DEVICEARRIVAL          ? "DEVICEARRIVAL"
                     : eventCode == DBT_DEVICEREMOVECOMPLETE ? "DEVICEREMOVECOMPLETE"
                                                             : nullptr;
  if (type && services && services->values()) {
    MoaMmValue event = kVoidMoaMmValue;
    services->NewPropList(&event);
    services->AddStringProperty(&event, "XtraName", "HidBridge");
    services->AddStringProperty(&event, "Message", devicePath);
    services->AddIntegerProperty(&event, "Id", instance.instanceId);
    MoaMmValue symbol = kVoidMoaMmValue;
    services->MakeSymbol(type, &symbol);
    services->AddValueProperty(&event, "TYPE", &symbol);
    services->values()->ValueRelease(&symbol);
    services->AddIntegerProperty(&event, "VID", vendorId);
    services->AddIntegerProperty(&event, "PID", productId);

    if (instance.monitorChangesHandler[0]) QueueCallback(instance.monitorChangesHandler, 1, &event);
    if (instance.monitorDeviceHandler[0] && WantsDevice(instance, vendorId, productId))
      QueueCallback(instance.monitorDeviceHandler, 1, &event);
    services->values()->ValueRelease(&event);
  }
  ExecutionFlow("HandleDevicesChangeMessage", "Exit", 50);
  return kMoaErr_NoErr;
}

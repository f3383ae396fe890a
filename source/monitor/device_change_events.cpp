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
    HostValue event(services->values());
    services->NewPropList(event.out());
    services->AddStringProperty(event.get(), "XtraName", "HidBridge");
    services->AddStringProperty(event.get(), "Message", devicePath);
    services->AddIntegerProperty(event.get(), "Id", instance.instanceId);
    HostValue symbol(services->values());
    services->MakeSymbol(type, symbol.out());
    services->AddValueProperty(event.get(), "TYPE", symbol.get());
    services->AddIntegerProperty(event.get(), "VID", vendorId);
    services->AddIntegerProperty(event.get(), "PID", productId);

    if (instance.monitorChangesHandler[0]) QueueCallback(instance.monitorChangesHandler, 1, event.get());
    if (instance.monitorDeviceHandler[0] && WantsDevice(instance, vendorId, productId))
      QueueCallback(instance.monitorDeviceHandler, 1, event.get());
  }
  ExecutionFlow("HandleDevicesChangeMessage", "Exit", 50);
  return kMoaErr_NoErr;
}

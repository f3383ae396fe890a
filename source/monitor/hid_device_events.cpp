#include "monitor/hid_device_events.h"

#include "device/collection_description.h"
#include "device/interface_path.h"
#include "host/collection_properties.h"
#include "host/interface_objects.h"
#include "platform.h"
#include "values/host_services.h"

void FileHidDeviceEvent(TStdXtra_IMoaMmXScript& target, const char* path, uint32_t eventCode) {
  XtraInstance& instance = *target.owner;
  HostServices* services = instance.hostServices;
  const bool arrived = eventCode == DBT_DEVICEARRIVAL;
  if (!instance.monitorHidHandler[0] || !services || !services->values() ||
      (!arrived && eventCode != DBT_DEVICEREMOVECOMPLETE))
    return;
  target.ExecutionFlow("FileHidDeviceEvent", "Enter", 50);
  HidCollectionInfo collection;
  // A collection that is gone, or will not tell, is named by its path alone.
  const bool described = arrived && DescribeCollectionAt(path, true, collection);
  if (!described) {
    collection.path = path;
    ParseVidPid(path, &collection.device.VendorID, &collection.device.ProductID);
  }
  HostValue event(services->values());
  if (services->NewPropList(event.out()) == kMoaErr_NoErr) {
    HostValue type(services->values());
    MoaError made = services->MakeSymbol(arrived ? "DEVICEARRIVAL" : "DEVICEREMOVECOMPLETE", type.out());
    if (made == kMoaErr_NoErr) made = services->AddValueProperty(event.get(), "TYPE", type.get());
    if (made == kMoaErr_NoErr) made = AddCollectionIdentity(*services, event.get(), collection);
    if (made == kMoaErr_NoErr && described) made = AddCollectionDetails(*services, event.get(), collection);
    // Half an event would mislead the movie; a debugger hears of none at all.
    if (made == kMoaErr_NoErr)
      target.QueueCallback(instance.monitorHidHandler, 1, event.get());
    else
      OutputDebugStringA("HidBridge: a HID collection event could not be made\n");
  }
  target.ExecutionFlow("FileHidDeviceEvent", "Exit", 50);
}

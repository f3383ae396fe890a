#include "monitor/hid_device_events.h"

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
  const bool described = arrived && DescribeCollectionAt(path, collection);
  if (!described) {
    collection.path = path;
    ParseVidPid(path, &collection.device.VendorID, &collection.device.ProductID);
  }
  MoaMmValue event = kVoidMoaMmValue;
  services->NewPropList(&event);
  MoaMmValue type = kVoidMoaMmValue;
  services->MakeSymbol(arrived ? "DEVICEARRIVAL" : "DEVICEREMOVECOMPLETE", &type);
  services->AddValueProperty(&event, "TYPE", &type);
  services->values()->ValueRelease(&type);
  AddCollectionIdentity(*services, &event, collection);
  if (described) AddCollectionDetails(*services, &event, collection);
  target.QueueCallback(instance.monitorHidHandler, 1, &event);
  services->values()->ValueRelease(&event);
  target.ExecutionFlow("FileHidDeviceEvent", "Exit", 50);
}

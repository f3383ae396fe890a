// The Lingo methods that find HID collections, open one by its path and
// tell about the open one.
#include <string>

#include "device/usb_class_pc.h"
#include "host/collection_properties.h"
#include "host/device_answers.h"
#include "host/methods.h"
#include "values/host_services.h"

namespace {

// Room for any device interface path Windows makes.
constexpr size_t kPathSize = 1024;

// An argument left out reads as void.
bool Given(const CallContext& context, int index) {
  return index < context.call.nargs && !context.ArgumentIs(index, kMoaMmValueType_Void);
}

}  // namespace

void HandleFindHidDevices(CallContext& context) {
  HostServices& services = *context.instance.hostServices;
  CollectionFilter filter;
  std::string error;
  if (Given(context, 1) && !filter.Read(services, context.call.pArgs[1], error)) return context.AnswerError(error.c_str());
  std::vector<HidCollectionInfo> collections;
  context.instance.device->FindCollections(collections);
  services.lists()->NewListValue(&context.call.resultValue);
  for (const HidCollectionInfo& collection : collections) {
    if (!filter.Passes(collection)) continue;
    MoaMmValue item = kVoidMoaMmValue;
    MakeCollectionProperties(services, collection, &item);
    services.lists()->AppendValueToList(&context.call.resultValue, &item);
    services.values()->ValueRelease(&item);
  }
}

void HandleOpenByPath(CallContext& context) {
  if (!context.ArgumentIs(1, kMoaMmValueType_String)) return context.AnswerError("path must be a string");
  const bool exclusiveGiven = Given(context, 2);
  const int32_t exclusive = context.IntegerArgument(2);
  if (exclusiveGiven && (!context.ArgumentIs(2, kMoaMmValueType_Integer) || exclusive < 0 || exclusive > 1))
    return context.AnswerError("exclusive must be 0 or 1");
  char path[kPathSize];
  context.TextArgument(1, path, sizeof path);
  context.StoreResult(context.instance.device->OpenByPath(path, exclusive == 1));
  ReportFailedOpen(context, "OpenByPath", "Is device connected? path correct? - Try FindHidDevices");
}

void HandleGetDeviceInfo(CallContext& context) {
  HostServices& services = *context.instance.hostServices;
  HidCollectionInfo collection;
  if (context.instance.device->GetOpenCollection(collection))
    MakeCollectionProperties(services, collection, &context.call.resultValue);
  else
    services.NewPropList(&context.call.resultValue);
}

void HandleGetStatus(CallContext& context) {
  ReportReaderTrouble(context);
  XtraInstance& instance = context.instance;
  UsbClassPC& device = *instance.device;
  HostServices& services = *instance.hostServices;
  MoaMmValue* status = &context.call.resultValue;
  services.NewPropList(status);
  services.AddIntegerProperty(status, "Open", device.IsOpen() ? 1 : 0);
  services.AddIntegerProperty(status, "Connected", device.IsConnected() ? 1 : 0);
  services.AddIntegerProperty(status, "LastErrorCode", instance.lastErrorCode);
  services.AddStringProperty(status, "LastError", instance.lastErrorText);
  services.AddIntegerProperty(status, "DroppedReports", static_cast<int32_t>(device.DroppedPacketCount()));
  services.AddIntegerProperty(status, "BufferedPackets", device.NumberOfPacketsInReadBuffer());
  services.AddIntegerProperty(status, "BufferedBytes", device.NumberOfItemsInReadBuffer());
}

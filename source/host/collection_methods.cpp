// The Lingo methods that find HID collections, open one by its path and
// tell about the open one.
#include <string>

#include "device/usb_class_base.h"
#include "host/collection_properties.h"
#include "host/device_answers.h"
#include "host/methods.h"
#include "values/host_services.h"
#include "values/list_builder.h"

namespace {

// Room for any device interface path Windows makes.
constexpr size_t kPathSize = 1024;

// An argument left out reads as void.
bool Given(const CallContext& context, int index) {
  return index < context.call.nargs && !context.ArgumentIs(index, kMoaMmValueType_Void);
}

// The list answers the movie only whole; one that the host could not finish
// is let go.
void AnswerWhole(CallContext& context, MoaError status, HostValue& list, const char* what) {
  if (status == kMoaErr_NoErr) context.call.resultValue = list.release();
  AnsweredList(context, status, what);
}

}  // namespace

void HandleFindHidDevices(CallContext& context) {
  HostServices& services = *context.instance.hostServices;
  if (!services.values() || !services.lists()) return;
  CollectionFilter filter;
  std::string error;
  if (Given(context, 1) && !filter.Read(services, context.call.pArgs[1], error))
    return context.AnswerError(error.c_str());
  std::vector<HidCollectionInfo> collections;
  const XtraResult searched = context.instance.device->FindCollections(collections);
  HostValue list(services.values());
  MoaError status = services.lists()->NewListValue(list.out());
  for (const HidCollectionInfo& collection : collections) {
    if (status != kMoaErr_NoErr) break;
    if (!filter.Passes(collection)) continue;
    HostValue item(services.values());
    status = MakeCollectionProperties(services, collection, item.out());
    if (status == kMoaErr_NoErr) status = services.lists()->AppendValueToList(list.get(), item.get());
  }
  AnswerWhole(context, status, list, "HID collections");
  // What was found is still the answer: movies count and walk it.
  if (status == kMoaErr_NoErr) context.ReportBesideAnswer(searched, CallContext::Box::DeviceSearch);
}

void HandleOpenByPath(CallContext& context) {
  if (!context.ArgumentIs(1, kMoaMmValueType_String)) return context.AnswerError("path must be a string");
  const int32_t exclusive = context.IntegerArgument(2);
  if (Given(context, 2) && (!context.ArgumentIs(2, kMoaMmValueType_Integer) || exclusive < 0 || exclusive > 1))
    return context.AnswerError("exclusive must be 0 or 1");
  char path[kPathSize];
  context.TextArgument(1, path, sizeof path);
  context.StoreResult(context.instance.device->OpenByPath(path, exclusive == 1));
  ReportFailedOpen(context, "OpenByPath", "Is device connected? path correct? - Try FindHidDevices");
}

void HandleGetDeviceInfo(CallContext& context) {
  HostServices& services = *context.instance.hostServices;
  HidCollectionInfo collection;
  HostValue properties(services.values());
  const MoaError status = context.instance.device->GetOpenCollection(collection)
                              ? MakeCollectionProperties(services, collection, properties.out())
                              : services.NewPropList(properties.out());
  AnswerWhole(context, status, properties, "properties");
}

void HandleGetStatus(CallContext& context) {
  ReportReaderTrouble(context);
  XtraInstance& instance = context.instance;
  UsbClassBase& device = *instance.device;
  HostServices& services = *instance.hostServices;
  ListBuilder status(services, ListBuilder::Shape::PropList);
  const auto add = [&status](const char* name, size_t number) { status.Integer(name, static_cast<int32_t>(number)); };
  add("Open", device.IsOpen() ? 1 : 0);
  add("Connected", device.IsConnected() ? 1 : 0);
  add("Reading", device.IsReading() ? 1 : 0);
  status.Integer("LastErrorCode", instance.lastErrorCode);
  status.String("LastError", instance.lastErrorText);
  add("DroppedReports", device.input().DroppedCount());
  add("BufferedPackets", device.input().Packets());
  add("BufferedBytes", device.input().Bytes());
  status.String("InputHandler", instance.input.name);
  status.Symbol("InputMode", InputModeName(instance.input.mode));
  AnsweredList(context, status.HandTo(&context.call.resultValue), "properties");
}

// The Lingo methods that work on the instance's device object.
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"
#include "host/device_answers.h"
#include "host/methods.h"
#include "values/host_services.h"
#include "values/host_text.h"
#include "values/result_list_builder.h"

namespace {

constexpr uint32_t kMaxPacketBytes = 65535;
constexpr size_t kProductNameSize = 255;

void AnswerBytes(CallContext& context, const ByteList& bytes) {
  context.instance.hostServices->BytesToList(bytes.data(), static_cast<int32_t>(bytes.size()),
                                             &context.call.resultValue);
  ReportReaderTrouble(context);
}

}  // namespace

void HandleOpenById(CallContext& context) {
  const int32_t vendorId = context.IntegerArgument(1);
  const int32_t productId = context.IntegerArgument(2);
  context.StoreResult(context.instance.device->OpenByID(vendorId, productId));
  ReportFailedOpen(context, "OpenByID", "Is device connected? ids correct? - Try FindUsbDevices");
}

void HandleOpenByProductName(CallContext& context) {
  char name[kProductNameSize];
  context.TextArgument(1, name, sizeof name);
  WCHAR wideName[UsbDeviceInfo::kStringUnits];
  HostTextToWide(name, wideName, UsbDeviceInfo::kStringUnits);
  context.StoreResult(context.instance.device->OpenByProductName(wideName));
  ReportFailedOpen(context, "OpenByProductName", "Is device connected? name correct? - Try FindUsbDevices");
}

void HandleIsOpen(CallContext& context) { context.AnswerInteger(context.instance.device->IsOpen() ? 1 : 0); }

void HandleClose(CallContext& context) {
  context.StoreResult(context.instance.device->Close());
  context.AnswerStatus();
}

void HandleRead(CallContext& context) {
  ByteList bytes;
  context.instance.device->Read(bytes, kMaxPacketBytes);
  AnswerBytes(context, bytes);
}

void HandleReadPacket(CallContext& context) {
  ByteList bytes;
  context.instance.device->ReadPacket(bytes, kMaxPacketBytes);
  AnswerBytes(context, bytes);
}

void HandleWrite(CallContext& context) {
  HostServices& services = *context.instance.hostServices;
  uint8_t payload[HostServices::kPayloadCapacity];
  uint32_t count = 0;
  for (int index = 1; index < context.call.nargs; ++index)
    context.StoreResult(services.ValueToBytes(&context.call.pArgs[index], payload, count));
  if (context.instance.lastResult.isError) return context.AnswerStatus();

  int32_t sent = 0;
  context.StoreResult(context.instance.device->Write(payload, count, &sent));
  if (context.instance.lastResult.isError) return context.AnswerStatus();
  char answer[64];
  FormatText(answer, sizeof answer, "Ok (in:%u sent:%d)", static_cast<unsigned>(count), static_cast<int>(sent));
  context.AnswerString(answer);
}

void HandleNumberOfItemsInReadBuffer(CallContext& context) {
  context.AnswerInteger(context.instance.device->NumberOfItemsInReadBuffer());
}

void HandleNumberOfPacketsInReadBuffer(CallContext& context) {
  context.AnswerInteger(context.instance.device->NumberOfPacketsInReadBuffer());
}

void HandleDoNotBufferPackets(CallContext& context) {
  context.instance.device->SetDoNotBufferPackets(context.IntegerArgument(1) == 1);
}

void HandleGetCapabilities(CallContext& context) {
  HIDP_CAPS caps{};
  context.instance.device->GetCapabilities(caps);
  ResultListBuilder list(context.instance.pCallback, &context.call.resultValue);
  list.AddInteger("Usage", caps.Usage);
  list.AddInteger("UsagePage", caps.UsagePage);
  list.AddInteger("InputReportByteLength", caps.InputReportByteLength);
  list.AddInteger("OutputReportByteLength", caps.OutputReportByteLength);
  list.AddInteger("FeatureReportByteLength", caps.FeatureReportByteLength);
  list.AddInteger("NumberLinkCollectionNodes", caps.NumberLinkCollectionNodes);
  list.AddInteger("NumberInputButtonCaps", caps.NumberInputButtonCaps);
  list.AddInteger("NumberInputValueCaps", caps.NumberInputValueCaps);
  list.AddInteger("NumberInputDataIndices", caps.NumberInputDataIndices);
  list.AddInteger("NumberOutputButtonCaps", caps.NumberOutputButtonCaps);
  list.AddInteger("NumberOutputValueCaps", caps.NumberOutputValueCaps);
  list.AddInteger("NumberOutputDataIndices", caps.NumberOutputDataIndices);
  list.AddInteger("NumberFeatureButtonCaps", caps.NumberFeatureButtonCaps);
  list.AddInteger("NumberFeatureValueCaps", caps.NumberFeatureValueCaps);
  list.AddInteger("NumberFeatureDataIndices", caps.NumberFeatureDataIndices);
}

void HandleFindUsbDevices(CallContext& context) {
  DeviceList devices;
  context.instance.device->FindDevices(devices);
  ResultListBuilder list(context.instance.pCallback, &context.call.resultValue);
  for (const UsbDeviceInfo& device : devices) {
    list.BeginItem();
    list.AddInteger("VendorID", device.VendorID);
    list.AddInteger("ProductID", device.ProductID);
    list.AddDeviceString("Manufacturer", device.Manufacturer);
    list.AddDeviceString("Product", device.Product);
    list.AddDeviceString("SerialNumberString", device.SerialNumberString);
    list.EndItem();
  }
}

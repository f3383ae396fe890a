// The Lingo methods that work on the instance's device object.
#include <cstdint>
#include <memory>

#include "device/usb_class_base.h"
#include "diagnostics/bounded_text.h"
#include "host/device_answers.h"
#include "host/methods.h"
#include "values/host_services.h"
#include "values/host_text.h"
#include "values/list_builder.h"

namespace {

constexpr uint32_t kMaxPacketBytes = 65535;
// What one Read answers at most, in whole packets: a full buffer as one
// Lingo list would hold a 32-bit host for seconds and gigabytes.
constexpr size_t kMaxReadBytes = 65536;
constexpr size_t kProductNameSize = 255;
constexpr int32_t kMinWriteTimeoutMs = 1;
constexpr int32_t kMaxWriteTimeoutMs = 60000;

// Packets leave the buffer only once the movie's list holds them.
void AnswerPackets(CallContext& context, size_t packets) {
  InputBuffer& input = context.instance.device->input();
  ByteList bytes;
  const InputBuffer::Copied copied = input.Copy(bytes, kMaxPacketBytes, packets, kMaxReadBytes);
  const MoaError status = context.instance.hostServices->BytesToList(
      bytes.data(), static_cast<int32_t>(bytes.size()), &context.call.resultValue);
  if (AnsweredList(context, status, "bytes")) input.Remove(copied);
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
  // Not even an empty name: that would match a device without a product string.
  if (context.TextArgument(1, name, sizeof name)) {
    WCHAR wideName[UsbDeviceInfo::kStringUnits];
    HostTextToWide(name, wideName, UsbDeviceInfo::kStringUnits);
    context.StoreResult(context.instance.device->OpenByProductName(wideName));
  } else {
    context.StoreResult(XtraResult::Failure("Open failed - the product name is not a string", XtraResult::kNoCode));
  }
  ReportFailedOpen(context, "OpenByProductName", "Is device connected? name correct? - Try FindUsbDevices");
}

void HandleIsOpen(CallContext& context) { context.AnswerInteger(context.instance.device->IsOpen() ? 1 : 0); }

void HandleClose(CallContext& context) {
  context.StoreResult(context.instance.device->Close());
  context.AnswerStatus();
}

void HandleRead(CallContext& context) { AnswerPackets(context, SIZE_MAX); }

void HandleReadPacket(CallContext& context) { AnswerPackets(context, 1); }

void HandleWrite(CallContext& context) {
  const std::unique_ptr<uint8_t[]> payload(new uint8_t[HostServices::kPayloadCapacity]);
  uint32_t count = 0;
  if (!context.PayloadArguments(1, payload.get(), count)) return;
  int32_t sent = 0;
  context.StoreResult(context.instance.device->Write(payload.get(), count, &sent));
  if (context.instance.lastResult.isError) return context.AnswerStatus();
  context.AnswerSent(count, sent);
}

void HandleNumberOfItemsInReadBuffer(CallContext& context) {
  context.AnswerInteger(static_cast<int32_t>(context.instance.device->input().Bytes()));
}

void HandleNumberOfPacketsInReadBuffer(CallContext& context) {
  context.AnswerInteger(static_cast<int32_t>(context.instance.device->input().Packets()));
}

void HandleDoNotBufferPackets(CallContext& context) {
  context.instance.device->input().KeepOnlyNewest(context.IntegerArgument(1) == 1);
}

void HandleSetWriteTimeout(CallContext& context) {
  bool converted = false;
  const int32_t milliseconds = context.IntegerArgument(1, &converted);
  // No "wait for ever": a device that stops taking reports would hold
  // Director's thread until it is pulled out.
  if (converted && milliseconds >= kMinWriteTimeoutMs && milliseconds <= kMaxWriteTimeoutMs)
    context.instance.device->SetWriteTimeout(static_cast<DWORD>(milliseconds));
  else
    context.StoreResult(
        XtraResult::Failure("The write timeout is a number of milliseconds, 1 to 60000", XtraResult::kNoCode));
  context.AnswerStatus();
}

void HandleGetCapabilities(CallContext& context) {
  CollectionCapabilities caps;
  context.instance.device->GetCapabilities(caps);
  ListBuilder list(*context.instance.hostServices, ListBuilder::Shape::List);
  list.Open(ListBuilder::Shape::PropList);
  list.Integer("Usage", caps.Usage);
  list.Integer("UsagePage", caps.UsagePage);
  list.Integer("InputReportByteLength", caps.InputReportByteLength);
  list.Integer("OutputReportByteLength", caps.OutputReportByteLength);
  list.Integer("FeatureReportByteLength", caps.FeatureReportByteLength);
  list.Integer("NumberLinkCollectionNodes", caps.NumberLinkCollectionNodes);
  list.Integer("NumberInputButtonCaps", caps.NumberInputButtonCaps);
  list.Integer("NumberInputValueCaps", caps.NumberInputValueCaps);
  list.Integer("NumberInputDataIndices", caps.NumberInputDataIndices);
  list.Integer("NumberOutputButtonCaps", caps.NumberOutputButtonCaps);
  list.Integer("NumberOutputValueCaps", caps.NumberOutputValueCaps);
  list.Integer("NumberOutputDataIndices", caps.NumberOutputDataIndices);
  list.Integer("NumberFeatureButtonCaps", caps.NumberFeatureButtonCaps);
  list.Integer("NumberFeatureValueCaps", caps.NumberFeatureValueCaps);
  list.Integer("NumberFeatureDataIndices", caps.NumberFeatureDataIndices);
  AnsweredList(context, list.HandTo(&context.call.resultValue), "capabilities");
}

void HandleFindUsbDevices(CallContext& context) {
  DeviceList devices;
  const XtraResult searched = context.instance.device->FindDevices(devices);
  ListBuilder list(*context.instance.hostServices, ListBuilder::Shape::List);
  for (const UsbDeviceInfo& device : devices) {
    list.Open(ListBuilder::Shape::PropList);
    list.Integer("VendorID", device.VendorID);
    list.Integer("ProductID", device.ProductID);
    list.DeviceString("Manufacturer", device.Manufacturer);
    list.DeviceString("Product", device.Product);
    list.DeviceString("SerialNumberString", device.SerialNumberString);
    list.Close();
  }
  // What was found is still the answer: movies count and walk it.
  if (AnsweredList(context, list.HandTo(&context.call.resultValue), "devices")) context.ReportBesideAnswer(searched, CallContext::Box::DeviceSearch);
}

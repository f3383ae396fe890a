// The Lingo methods that move one report of a given ID: output reports over
// either pipe, feature reports both ways, and input reports on demand.
#include <memory>

#include "device/usb_class_base.h"
#include "host/device_answers.h"
#include "host/methods.h"
#include "values/host_services.h"

namespace {

using SendFunction = XtraResult (UsbClassBase::*)(uint8_t, const uint8_t*, uint32_t, int32_t*);
using FetchFunction = XtraResult (UsbClassBase::*)(uint8_t, ByteList&);

// Nothing is sent unless every argument can be.
void SendReport(CallContext& context, SendFunction send) {
  uint8_t reportId = 0;
  const std::unique_ptr<uint8_t[]> payload(new uint8_t[HostServices::kPayloadCapacity]);
  uint32_t count = 0;
  if (!context.ReportIdArgument(1, &reportId) || !context.PayloadArguments(2, payload.get(), count)) return;
  int32_t sent = 0;
  context.StoreResult((context.instance.device->*send)(reportId, payload.get(), count, &sent));
  if (context.instance.lastResult.isError) return context.AnswerStatus();
  context.AnswerSent(count, sent);
}

void FetchReport(CallContext& context, FetchFunction fetch) {
  uint8_t reportId = 0;
  if (!context.ReportIdArgument(1, &reportId)) return;
  ByteList report;
  context.StoreResult((context.instance.device->*fetch)(reportId, report));
  if (context.instance.lastResult.isError) return context.AnswerStatus();
  AnsweredList(context,
               context.instance.hostServices->BytesToList(report.data(), static_cast<int32_t>(report.size()),
                                                          &context.call.resultValue),
               "bytes");
}

}  // namespace

void HandleWriteReport(CallContext& context) { SendReport(context, &UsbClassBase::WriteReport); }

void HandleSendOutputReport(CallContext& context) { SendReport(context, &UsbClassBase::SendOutputReport); }

void HandleGetFeatureReport(CallContext& context) { FetchReport(context, &UsbClassBase::GetFeatureReport); }

void HandleSetFeatureReport(CallContext& context) { SendReport(context, &UsbClassBase::SetFeatureReport); }

void HandleGetInputReport(CallContext& context) { FetchReport(context, &UsbClassBase::GetInputReport); }

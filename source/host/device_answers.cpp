#include "host/device_answers.h"

#include "device/usb_class_base.h"
#include "diagnostics/bounded_text.h"
#include "diagnostics/system_message.h"

namespace {

void ReportReaderFailure(CallContext& context, DWORD failure) {
  if (!failure) return;
  char text[XtraResult::kTextSize];
  if (!SystemMessage(failure, text, sizeof text)) CopyText(text, "The device stopped delivering reports");
  context.script.SendInternalErrorToDirector(text, static_cast<int32_t>(failure));
  context.RememberError(text, static_cast<int32_t>(failure));
}

}  // namespace

void ReportFailedOpen(CallContext& context, const char* kind, const char* hint) {
  XtraInstance& instance = context.instance;
  if (instance.lastResult.isError)
    context.script.InformUserOfErrorUsingDialog(kind, instance.lastResult.StatusText(), hint, "");
  context.AnswerStatus();
}

void ReportReaderTrouble(CallContext& context) {
  UsbClassBase& device = *context.instance.device;
  if (const size_t dropped = device.input().TakeDroppedCount()) {
    char text[160];
    FormatText(text, sizeof text, "Input buffer full: %u reports dropped", static_cast<unsigned>(dropped));
    context.script.SendInternalErrorToDirector(text, XtraResult::kNoCode);
  }
  ReportReaderFailure(context, device.TakeReaderTrouble());
  ReportReaderFailure(context, device.TakeReaderEnd());
}

bool AnsweredList(CallContext& context, MoaError status, const char* what) {
  if (status == kMoaErr_NoErr) return true;
  char message[96];
  FormatText(message, sizeof message, "Could not make the list of %s", what);
  context.StoreResult(XtraResult::Failure(message, status));
  context.AnswerStatus();
  return false;
}

#include "host/device_answers.h"

#include "device/usb_class_base.h"
#include "diagnostics/bounded_text.h"
#include "diagnostics/system_message.h"
#include "host/input_delivery.h"

namespace {

void ReportReaderFailure(XtraInstance& instance, TStdXtra_IMoaMmXScript& script, DWORD failure) {
  if (!failure) return;
  char text[XtraResult::kTextSize];
  if (!SystemMessage(failure, text, sizeof text)) CopyText(text, "The device stopped delivering reports");
  script.SendInternalErrorToDirector(text, static_cast<int32_t>(failure));
  RememberError(instance, text, static_cast<int32_t>(failure));
}

}  // namespace

void ReportFailedOpen(CallContext& context, const char* kind, const char* hint) {
  XtraInstance& instance = context.instance;
  if (instance.lastResult.isError)
    context.script.InformUserOfErrorUsingDialog(kind, instance.lastResult.StatusText(), hint, "");
  context.AnswerStatus();
}

void ReportReaderTrouble(CallContext& context) { ReportReaderTrouble(context.instance, context.script); }

void ReportReaderTrouble(XtraInstance& instance, TStdXtra_IMoaMmXScript& script) {
  UsbClassBase& device = *instance.device;
  if (const size_t dropped = device.input().TakeDroppedCount()) {
    char text[160];
    FormatText(text, sizeof text, "Input buffer full: %u reports dropped", static_cast<unsigned>(dropped));
    script.SendInternalErrorToDirector(text, XtraResult::kNoCode);
  }
  ReportReaderFailure(instance, script, device.TakeReaderTrouble());
  // Seen before the buffer is: the reader stores nothing after its end, so
  // an empty buffer then holds no report from before it.
  const bool ended = device.ReaderEndNoted();
  if (ended && (!InputHandlerListens(instance) || device.input().Packets() == 0))
    ReportReaderFailure(instance, script, device.TakeReaderEnd());
}

bool AnsweredList(CallContext& context, MoaError status, const char* what) {
  if (status == kMoaErr_NoErr) return true;
  char message[96];
  FormatText(message, sizeof message, "Could not make the list of %s", what);
  context.StoreResult(XtraResult::Failure(message, status));
  context.AnswerStatus();
  return false;
}

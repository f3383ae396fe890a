#include "host/device_answers.h"

#include "device/system_message.h"
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"

void ReportFailedOpen(CallContext& context, const char* kind, const char* hint) {
  XtraInstance& instance = context.instance;
  if (instance.lastResult.isError)
    context.script.InformUserOfErrorUsingDialog(kind, instance.lastResult.StatusText(), hint, "");
  context.AnswerStatus();
}

void ReportReaderTrouble(CallContext& context) {
  UsbClassPC& device = *context.instance.device;
  if (const size_t dropped = device.TakeDroppedPacketCount()) {
    char text[160];
    FormatText(text, sizeof text, "Input buffer full: %u oldest reports dropped", static_cast<unsigned>(dropped));
    context.script.SendInternalErrorToDirector(text, XtraResult::kNoCode);
  }
  if (const DWORD failure = device.TakeReaderFailure()) {
    char text[XtraResult::kTextSize];
    if (!SystemMessage(failure, text, sizeof text)) CopyText(text, "The device stopped delivering reports");
    context.script.SendInternalErrorToDirector(text, static_cast<int32_t>(failure));
    context.RememberError(text, static_cast<int32_t>(failure));
  }
}

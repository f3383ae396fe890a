#include "host/call_context.h"

#include "diagnostics/bounded_text.h"
#include "values/host_services.h"

int32_t CallContext::IntegerArgument(int index, bool* converted) const {
  IMoaMmValue* values = instance.hostServices ? instance.hostServices->values() : nullptr;
  MoaLong number = 0;
  const bool ok = values && index < call.nargs && values->ValueToInteger(&call.pArgs[index], &number) == kMoaErr_NoErr;
  if (converted) *converted = ok;
  return ok ? number : 0;
}

bool CallContext::TextArgument(int index, char* buffer, size_t size) const {
  buffer[0] = '\0';
  IMoaMmValue* values = instance.hostServices ? instance.hostServices->values() : nullptr;
  if (!values || index >= call.nargs ||
      values->ValueToString(&call.pArgs[index], buffer, static_cast<MoaLong>(size)) != kMoaErr_NoErr) {
    buffer[0] = '\0';
    return false;
  }
  buffer[size - 1] = '\0';
  return true;
}

void CallContext::AnswerInteger(int32_t number) {
  if (IMoaMmValue* values = instance.hostServices ? instance.hostServices->values() : nullptr)
    values->IntegerToValue(number, &call.resultValue);
}

void CallContext::AnswerString(const char* text) {
  if (IMoaMmValue* values = instance.hostServices ? instance.hostServices->values() : nullptr)
    values->StringToValue(text, &call.resultValue);
}

void CallContext::StoreResult(const XtraResult& result) {
  const ErrorListener listener = instance.lastResult.listener;
  void* listenerData = instance.lastResult.listenerData;
  instance.lastResult = result;
  instance.lastResult.SetListener(listenerData, listener);
}

void CallContext::AnswerStatus() {
  XtraResult& last = instance.lastResult;
  AnswerString(last.StatusText());
  if (!last.isError) return;
  // Raised again on the instance's record so that its listener reports it;
  // the answer itself is the message, so no box besides the opens' own.
  instance.answeringWithError = true;
  char message[XtraResult::kTextSize];
  CopyText(message, last.message);
  last.SetError(message, last.code);
  instance.answeringWithError = false;
}

#include "host/call_context.h"

#include "diagnostics/bounded_text.h"
#include "values/host_services.h"

namespace {

// While a method answers with its own error, that answer is the report.

}  // namespace

int32_t CallContext::IntegerArgument(int index, bool* converted) const {
  IMoaMmValue* values = instance.hostServices ? instance.hostServices->values() : nullptr;
  MoaLong number = 0;
  const bool ok = values && index < call.nargs && values->ValueToInteger(&call.pArgs[index], &number) == kMoaErr_NoErr;
  if (converted) *converted = ok;
  return ok ? number : 0;
}

bool CallContext::TextArgument(int index, char* buffer, size_t size) const {
  buffer[0] = '\0';
  return instance.hostServices && index < call.nargs &&
         instance.hostServices->ValueText(&call.pArgs[index], buffer, size);
}

bool CallContext::StringArgument(int index, std::string& text) const {
  text.clear();
  return instance.hostServices && index < call.nargs && instance.hostServices->ValueString(&call.pArgs[index], text);
}

bool CallContext::ArgumentIs(int index, MoaLong type) const {
  IMoaMmValue* values = instance.hostServices ? instance.hostServices->values() : nullptr;
  MoaLong actual = kMoaMmValueType_Void;
  return values && index < call.nargs && values->ValueType(&call.pArgs[index], &actual) == kMoaErr_NoErr &&
         actual == type;
}

bool CallContext::ReportIdArgument(int index, uint8_t* reportId) {
  const int32_t number = IntegerArgument(index);
  if (!ArgumentIs(index, kMoaMmValueType_Integer) || number < 0 || number > 255) {
    AnswerError("reportId must be an integer from 0 to 255");
    return false;
  }
  *reportId = static_cast<uint8_t>(number);
  return true;
}

bool CallContext::PayloadArguments(int first, uint8_t* payload, uint32_t& count) {
  for (int index = first; index < call.nargs; ++index) {
    const XtraResult converted = instance.hostServices->ValueToBytes(&call.pArgs[index], payload, count);
    if (converted.isError) {
      // One argument that cannot be sent spoils the report: nothing goes out.
      char message[XtraResult::kTextSize];
      FormatText(message, sizeof message, "%.900s (argument %d)", converted.message, index);
      AnswerError(message);
      return false;
    }
  }
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

void CallContext::AnswerSent(uint32_t given, int32_t sent) {
  char answer[64];
  FormatText(answer, sizeof answer, "Ok (in:%u sent:%d)", static_cast<unsigned>(given), static_cast<int>(sent));
  AnswerString(answer);
}

void CallContext::AnswerError(const char* message) {
  StoreResult(XtraResult::Failure(message, XtraResult::kNoCode));
  AnswerStatus();
}

void CallContext::StoreResult(const XtraResult& result) { instance.lastResult.CopyOutcome(result); }

void CallContext::AnswerStatus() {
  AnswerString(instance.lastResult.StatusText());
  // The answer itself is the message: no box besides the opens' own.
  const DialogsSuppressed quiet(instance);
  ReportLastError();
}

void CallContext::ReportBesideAnswer(const XtraResult& result, Box box) {
  StoreResult(result);
  if (box == Box::DeviceSearch) return ReportLastError();
  const DialogsSuppressed quiet(instance);
  ReportLastError();
}

void CallContext::ReportLastError() {
  XtraResult& last = instance.lastResult;
  if (!last.isError) return;
  RememberError(last.message, last.code);
  last.Report();
}

void CallContext::RememberError(const char* message, int32_t code) { ::RememberError(instance, message, code); }

void RememberError(XtraInstance& instance, const char* message, int32_t code) {
  instance.lastErrorCode = code;
  CopyText(instance.lastErrorText, message);
}

DialogsSuppressed::DialogsSuppressed(XtraInstance& instance)
    : instance_(instance), before_(instance.answeringWithError) {
  instance_.answeringWithError = true;
}

DialogsSuppressed::~DialogsSuppressed() { instance_.answeringWithError = before_; }

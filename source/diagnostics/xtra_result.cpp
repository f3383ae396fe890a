#include "diagnostics/xtra_result.h"

#include "diagnostics/bounded_text.h"

XtraResult XtraResult::Failure(const char* text, int32_t errorCode) {
  XtraResult failure;
  failure.SetError(text, errorCode);
  return failure;
}

void XtraResult::Clear() {
  message[0] = '\0';
  code = kNoCode;
  isError = false;
  listener = nullptr;
}

void XtraResult::SetOk() {
  CopyText(message, "Ok");
  code = kNoCode;
  isError = false;
}

void XtraResult::SetError(const char* text, int32_t errorCode) {
  CopyText(message, text);
  code = errorCode;
  isError = true;
}

void XtraResult::CopyOutcome(const XtraResult& outcome) {
  if (this == &outcome) return;
  CopyText(message, outcome.message);
  code = outcome.code;
  isError = outcome.isError;
}

int32_t XtraResult::Report() { return isError && listener ? listener(listenerData, message, code) : 0; }

void XtraResult::SetListener(void* data, ErrorListener callback) {
  listenerData = data;
  listener = callback;
}

const char* XtraResult::StatusText() {
  if (!isError)
    CopyText(statusText, message);
  else if (code == kNoCode)
    FormatText(statusText, sizeof statusText, "Error :%s", message);
  else
    FormatText(statusText, sizeof statusText, "Error :%s (%d)", message, static_cast<int>(code));
  return statusText;
}

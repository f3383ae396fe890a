#include "diagnostics/system_message.h"

#include "diagnostics/bounded_text.h"
#include "values/host_text.h"

bool SystemMessage(DWORD error, char* text, DWORD size) {
  WCHAR wide[XtraResult::kTextSize];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      wide, XtraResult::kTextSize, nullptr);
  if (length == 0) return false;
  DWORD end = length;
  while (end > 0 && (wide[end - 1] == '\n' || wide[end - 1] == '\r' || wide[end - 1] == ' ')) --end;
  wide[end] = 0;
  WideToHostText(wide, text, size);
  return true;
}

void SetSystemError(XtraResult& result, const char* what, DWORD error) {
  char text[XtraResult::kTextSize];
  char message[XtraResult::kTextSize];
  if (SystemMessage(error, text, sizeof text))
    FormatText(message, sizeof message, "%s: %s", what, text);
  else
    CopyText(message, what);
  result.SetError(message, static_cast<int32_t>(error));
}

void SetFixedError(XtraResult& result, const char* text, DWORD error) {
  char reason[XtraResult::kTextSize];
  if (!SystemMessage(error, reason, sizeof reason)) CopyText(reason, "no text for this code");
  char line[2 * XtraResult::kTextSize];
  FormatText(line, sizeof line, "HidBridge: %s: %s (%lu)\n", text, reason, static_cast<unsigned long>(error));
  OutputDebugStringA(line);
  result.SetError(text, XtraResult::kNoCode);
}

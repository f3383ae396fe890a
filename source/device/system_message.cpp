#include "device/system_message.h"

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

#include "device/system_message.h"

#include <cstring>

bool SystemMessage(DWORD error, char* text, DWORD size) {
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      text, size, nullptr);
  if (length == 0) return false;
  size_t end = std::strlen(text);
  while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r' || text[end - 1] == ' ')) text[--end] = '\0';
  return true;
}

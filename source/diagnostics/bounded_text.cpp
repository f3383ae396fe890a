#include "diagnostics/bounded_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

void CopyText(char* target, size_t capacity, const char* text) {
  if (capacity == 0) return;
  size_t length = text ? std::strlen(text) : 0;
  if (length >= capacity) length = capacity - 1;
  if (length) std::memmove(target, text, length);
  target[length] = '\0';
}

void FormatText(char* target, size_t capacity, const char* format, ...) {
  if (capacity == 0) return;
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(target, capacity, format, arguments);
  va_end(arguments);
}

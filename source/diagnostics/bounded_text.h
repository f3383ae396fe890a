// The Xtra keeps its texts in fixed buffers; these helpers never write past
// one and always leave it terminated, cutting what does not fit.
#pragma once

#include <cstddef>

void CopyText(char* target, size_t capacity, const char* text);

#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
void FormatText(char* target, size_t capacity, const char* format, ...);

template <size_t N>
void CopyText(char (&target)[N], const char* text) {
  CopyText(target, N, text);
}

// The status record that every operation of the Xtra resets, fills and hands
// back by value; no exception crosses an operation boundary.
#pragma once

#include <cstdint>

using ErrorListener = int32_t (*)(void* listenerData, const char* message, int32_t code);

struct XtraResult {
  static constexpr int32_t kNoCode = -1;
  static constexpr int kTextSize = 1024;

  // A failed record, for an error met outside any operation's own record.
  static XtraResult Failure(const char* text, int32_t errorCode);

  char message[kTextSize] = "";
  char statusText[kTextSize] = "";
  int32_t code = kNoCode;
  bool isError = false;
  ErrorListener listener = nullptr;
  void* listenerData = nullptr;

  void Clear();
  void SetOk();
  // Texts longer than the record holds are cut to fit.
  int32_t SetError(const char* text, int32_t errorCode);
  void SetListener(void* data, ErrorListener callback);
  const char* StatusText();
};

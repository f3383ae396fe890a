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
  void SetError(const char* text, int32_t errorCode);
  // Takes another record's outcome (text, code, success) and keeps this
  // record's listener: a device operation's record has none.
  void CopyOutcome(const XtraResult& outcome);
  void SetListener(void* data, ErrorListener callback);
  // Hands an error to the listener, which tells the movie; answers what the
  // listener answers, 0 for success or without a listener.
  int32_t Report();
  const char* StatusText();
};

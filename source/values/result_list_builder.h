// Builds the answer of a Lingo method that replies with a list of property
// lists, one item at a time; lives for one method call.
#pragma once

#include <cstdint>

#include "diagnostics/xtra_result.h"
#include "host/moa_contract.h"
#include "platform.h"
#include "values/host_text.h"

class HostServices;

class ResultListBuilder {
 public:
  // Makes the target a new empty linear list.
  ResultListBuilder(IMoaCallback* callback, MoaMmValue* target);
  // Appends a pending item, then lets go of the host.
  ~ResultListBuilder();
  ResultListBuilder(const ResultListBuilder&) = delete;
  ResultListBuilder& operator=(const ResultListBuilder&) = delete;

  XtraResult BeginItem();
  XtraResult AddInteger(const char* name, int32_t number);
  XtraResult AddString(const char* name, const char* text);
  // A string as Windows gives it, in Director's encoding.
  template <size_t Units>
  XtraResult AddDeviceString(const char* name, const WCHAR (&text)[Units]) {
    char converted[3 * Units];  // UTF-8 takes at most three bytes a unit
    WideToHostText(text, converted, sizeof converted);
    return AddString(name, converted);
  }
  XtraResult EndItem();

 private:
  HostServices* services_;
  MoaMmValue* target_;
  MoaMmValue* pendingItem_ = nullptr;
  XtraResult result_;
  IMoaMmList* lists_ = nullptr;
};

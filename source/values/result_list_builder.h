// Builds the answer of a Lingo method that replies with a list of property
// lists, one item at a time; lives for one method call.
#pragma once

#include <cstdint>

#include "diagnostics/xtra_result.h"
#include "moa_contract.h"
#include "platform.h"
#include "values/host_text.h"
#include "values/host_value.h"

class HostServices;

class ResultListBuilder {
 public:
  // Starts a new linear list, which reaches the target only whole.
  ResultListBuilder(IMoaCallback* callback, MoaMmValue* target);
  // Finishes the list unless Finish did, then lets go of the host.
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
  // Appends a pending item and hands the list to the target; after a host
  // step that failed, lets go of the list instead and leaves the target as
  // it was. Answers the first failed step's status.
  MoaError Finish();

 private:
  void Check(MoaError status);

  HostServices* services_;
  MoaMmValue* target_;
  HostValue list_;
  HostValue pendingItem_;
  bool itemPending_ = false;
  XtraResult result_;
  IMoaMmList* lists_ = nullptr;
  MoaError status_ = kMoaErr_NoErr;
  bool finished_ = false;
};

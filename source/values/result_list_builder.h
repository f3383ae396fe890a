// Builds the answer of a Lingo method that replies with a list of property
// lists, one item at a time; lives for one method call.
#pragma once

#include <cstdint>

#include "diagnostics/xtra_result.h"
#include "host/moa_contract.h"

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
  XtraResult EndItem();

 private:
  HostServices* services_;
  MoaMmValue* target_;
  MoaMmValue* pendingItem_ = nullptr;
  XtraResult result_;
  IMoaMmList* lists_ = nullptr;
};

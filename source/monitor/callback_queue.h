// Lingo handler calls are never made when their event arises: they are
// filed here and made later, in filing order, from the host's notification.
#pragma once

#include <cstdint>

#include "diagnostics/xtra_result.h"
#include "moa_contract.h"
#include "values/host_value.h"

struct PendingCallback {
  char handlerName[256];
  HostValues args;  // until delivered or dropped
};

class CallbackQueue {
 public:
  static constexpr int32_t kSlots = 100;

  CallbackQueue() = default;
  CallbackQueue(const CallbackQueue&) = delete;
  CallbackQueue& operator=(const CallbackQueue&) = delete;

  // The caller keeps its own references on args; the queue adds its own.
  XtraResult Enqueue(IMoaMmValue* values, const char* handlerName, int32_t argCount, const MoaMmValue* args);
  // Calls every pending handler, including those filed while this runs.
  XtraResult DeliverPendingCallbacks(IMoaMmValue* values, IMoaDrPlayer* player);
  // Drops what is pending without calling it.
  void DropAll();

  int32_t used() const { return used_; }

 private:
  PendingCallback slots_[kSlots] = {};
  int32_t used_ = 0;
  // The next slot a delivery takes; a handler that drops the queue and
  // files anew (forget, then new) restarts it, so nothing filed is skipped.
  int32_t next_ = 0;
};

// A critical section held for one scope, so that no early return leaves a
// lock of the device layer held.
#pragma once

#include "platform.h"

class LockHold {
 public:
  explicit LockHold(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
  ~LockHold() { LeaveCriticalSection(&lock_); }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

 private:
  CRITICAL_SECTION& lock_;
};

// Kernel objects a thread can wait for: events and threads.
#pragma once

#include "kernel_state.h"

namespace standin::detail {

struct Waitable : KernelObject {
  using KernelObject::KernelObject;
  // Threads in a wait for this object: signalling one nobody waits for
  // wakes nobody, as on Windows.
  int waiters = 0;
  // Both with the kernel locked.
  virtual bool Signalled() const = 0;
  // What a satisfied wait does to the object (an auto-reset event resets).
  virtual void Consume() {}
};

struct Event : Waitable {
  static constexpr ObjectKind kKind = ObjectKind::Event;
  Event(bool isManualReset, bool initialState) : Waitable(kKind), manualReset(isManualReset), set(initialState) {}
  bool Signalled() const override { return set; }
  void Consume() override {
    if (!manualReset) set = false;
  }
  const bool manualReset;
  bool set;
};

// With the kernel locked: sets the event behind `handle`, if it is one, and
// wakes the waiters.
void SignalEventHandle(HANDLE handle);

}  // namespace standin::detail

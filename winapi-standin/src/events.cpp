#include "faults.h"
#include "standin/kernel.h"
#include "waitable.h"

using namespace standin::detail;

namespace standin::detail {

void SignalEventHandle(HANDLE handle) {
  if (auto event = Find<Event>(handle)) {
    event->set = true;
    if (event->waiters) TheKernel().changed.notify_all();
  }
}

}  // namespace standin::detail

namespace {

BOOL ChangeEvent(HANDLE hEvent, bool set) {
  auto lock = LockKernel();
  auto event = Find<Event>(hEvent);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  event->set = set;
  if (set && event->waiters) TheKernel().changed.notify_all();
  return TRUE;
}

}  // namespace

const FaultPoint kCreateEventAFault{"CreateEventA"};

// Names would make events visible to other processes; the Xtra needs none.
extern "C" HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName) {
  if (kCreateEventAFault.Fails()) return nullptr;
  if (lpName) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto lock = LockKernel();
  return AddHandle(std::make_shared<Event>(bManualReset != FALSE, bInitialState != FALSE));
}

const FaultPoint kSetEventFault{"SetEvent"};

extern "C" BOOL WINAPI SetEvent(HANDLE hEvent) {
  if (kSetEventFault.Fails()) return FALSE;
  return ChangeEvent(hEvent, true);
}

const FaultPoint kResetEventFault{"ResetEvent"};

extern "C" BOOL WINAPI ResetEvent(HANDLE hEvent) {
  if (kResetEventFault.Fails()) return FALSE;
  return ChangeEvent(hEvent, false);
}

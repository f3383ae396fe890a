#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "faults.h"
#include "standin/faults.h"
#include "standin/kernel.h"
#include "waitable.h"

using namespace standin::detail;

namespace {

DWORD Fail(DWORD error) {
  SetLastError(error);
  return WAIT_FAILED;
}

// Index of the object that satisfies the wait, consuming what it takes, or
// -1 while the wait must go on.
int TrySatisfy(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll) {
  if (waitAll) {
    if (!std::all_of(objects.begin(), objects.end(), [](const auto& o) { return o->Signalled(); })) return -1;
    for (const auto& object : objects) object->Consume();
    return 0;
  }
  for (size_t i = 0; i < objects.size(); ++i) {
    if (objects[i]->Signalled()) {
      objects[i]->Consume();
      return static_cast<int>(i);
    }
  }
  return -1;
}

class Waiting;
// Every wait under way, under the kernel lock. Never destroyed: a thread may
// still wait while the program ends.
std::vector<const Waiting*>& Waits() {
  static auto* waits = new std::vector<const Waiting*>;
  return *waits;
}

// Counts this thread among the objects' waiters for as long as it waits.
class Waiting {
 public:
  Waiting(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll) : objects_(objects), waitAll_(waitAll) {
    for (const auto& object : objects_) ++object->waiters;
    Waits().push_back(this);
  }
  ~Waiting() {
    for (const auto& object : objects_) --object->waiters;
    Waits().erase(std::find(Waits().begin(), Waits().end(), this));
  }
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;

  // Nothing the wait waits for has happened yet: the thread is blocked.
  bool Blocked() const {
    const auto signalled = [](const auto& object) { return object->Signalled(); };
    return waitAll_ ? !std::all_of(objects_.begin(), objects_.end(), signalled)
                    : std::none_of(objects_.begin(), objects_.end(), signalled);
  }

 private:
  const std::vector<std::shared_ptr<Waitable>>& objects_;
  const bool waitAll_;
};

// A wait of a second or more on one object: how a thread kept for later
// work rests while nothing has woken it.
bool IsRest(DWORD count, DWORD milliseconds) { return count == 1 && milliseconds >= 1000; }

// Counts a resting wait for as long as it lasts, under the kernel lock. The
// list lives in the kernel, which is never destroyed: a thread may still
// rest while the program ends.
class Resting {
 public:
  Resting(const std::vector<std::shared_ptr<Waitable>>& objects, bool resting)
      : object_(resting ? objects.front().get() : nullptr) {
    if (object_) TheKernel().restingWaits.push_back(object_);
  }
  ~Resting() {
    if (!object_) return;
    auto& waits = TheKernel().restingWaits;
    waits.erase(std::find(waits.begin(), waits.end(), object_));
  }
  Resting(const Resting&) = delete;
  Resting& operator=(const Resting&) = delete;

 private:
  const Waitable* object_;
};

DWORD Wait(DWORD count, const HANDLE* handles, bool waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) return Fail(ERROR_INVALID_PARAMETER);
  if (waitAll) {
    std::vector<HANDLE> sorted(handles, handles + count);
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return Fail(ERROR_INVALID_PARAMETER);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  auto lock = LockKernel();
  // Held here, the objects outlive a CloseHandle on another thread, as on Windows.
  std::vector<std::shared_ptr<Waitable>> objects;
  for (DWORD i = 0; i < count; ++i) {
    auto object = FindHandle(handles[i]);
    auto waitable = std::dynamic_pointer_cast<Waitable>(object);
    if (!waitable) return Fail(ERROR_INVALID_HANDLE);
    objects.push_back(std::move(waitable));
  }
  const Waiting waiting(objects, waitAll);
  const Resting resting(objects, IsRest(count, milliseconds));
  // Only a rest that can run out can be ended early.
  const bool endable = IsRest(count, milliseconds) && milliseconds != INFINITE;
  const std::uint64_t restEndings = TheKernel().restEndings;
  for (;;) {
    const int satisfied = TrySatisfy(objects, waitAll);
    if (satisfied >= 0) return WAIT_OBJECT_0 + static_cast<DWORD>(satisfied);
    if (endable && TheKernel().restEndings != restEndings) return WAIT_TIMEOUT;
    if (milliseconds == INFINITE) {
      TheKernel().changed.wait(lock);
    } else if (TheKernel().changed.wait_until(lock, deadline) == std::cv_status::timeout) {
      const int last = TrySatisfy(objects, waitAll);
      return last >= 0 ? WAIT_OBJECT_0 + static_cast<DWORD>(last) : WAIT_TIMEOUT;
    }
  }
}

// Stops threads at one point of their waits, outside the kernel lock, so
// that other threads go on meanwhile, for as long as it is held.
class WaitHold {
 public:
  void Set(bool hold) {
    std::lock_guard lock(mutex_);
    holding_ = hold;
    changed_.notify_all();
  }
  void StopHere() {
    std::unique_lock lock(mutex_);
    if (!holding_) return;
    ++held_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !holding_; });
    --held_;
  }
  std::size_t Held() {
    std::lock_guard lock(mutex_);
    return held_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool holding_ = false;
  std::size_t held_ = 0;
};

// Where a satisfied WaitForMultipleObjects stops.
WaitHold gSatisfiedHold;
// Where a rest that ran out stops.
WaitHold gEndedRestHold;

// The calling thread's next wait that runs out runs it.
thread_local std::function<void()> tAtTimeout;

// The instant a wait gives up, before its caller hears of it.
DWORD TimedOut(DWORD count, DWORD milliseconds) {
  if (IsRest(count, milliseconds)) gEndedRestHold.StopHere();
  if (tAtTimeout) std::exchange(tAtTimeout, nullptr)();
  return WAIT_TIMEOUT;
}

}  // namespace

namespace standin {

void HoldSatisfiedWaits(bool hold) { gSatisfiedHold.Set(hold); }

std::size_t HeldWaits() { return gSatisfiedHold.Held(); }

void EndRests() {
  auto lock = LockKernel();
  ++TheKernel().restEndings;
  TheKernel().changed.notify_all();
}

void HoldEndedRests(bool hold) { gEndedRestHold.Set(hold); }

std::size_t HeldRests() { return gEndedRestHold.Held(); }

void AtNextWaitTimeout(std::function<void()> action) { tAtTimeout = std::move(action); }

std::size_t RestingThreadCount() {
  auto lock = LockKernel();
  const auto& waits = TheKernel().restingWaits;
  return static_cast<std::size_t>(std::count_if(waits.begin(), waits.end(), [](const KernelObject* object) {
    return !static_cast<const Waitable*>(object)->Signalled();
  }));
}

std::size_t BlockedThreadCount() {
  auto lock = LockKernel();
  const auto blocked = std::count_if(Waits().begin(), Waits().end(), [](const Waiting* wait) { return wait->Blocked(); });
  return static_cast<std::size_t>(blocked + TheKernel().blockedThreads);
}

}  // namespace standin

const FaultPoint kWaitForSingleObjectFault{"WaitForSingleObject"};

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  if (kWaitForSingleObjectFault.Fails()) return WAIT_FAILED;
  const DWORD waited = Wait(1, &hHandle, false, dwMilliseconds);
  return waited == WAIT_TIMEOUT ? TimedOut(1, dwMilliseconds) : waited;
}

const FaultPoint kWaitForMultipleObjectsFault{"WaitForMultipleObjects"};

extern "C" DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                               DWORD dwMilliseconds) {
  if (kWaitForMultipleObjectsFault.Fails()) return WAIT_FAILED;
  const DWORD waited = Wait(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds);
  if (waited == WAIT_TIMEOUT) return TimedOut(nCount, dwMilliseconds);
  if (waited < WAIT_OBJECT_0 + nCount) gSatisfiedHold.StopHere();
  return waited;
}

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
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
// Every wait under way, under the kernel lock.
std::vector<const Waiting*> gWaits;

// Counts this thread among the objects' waiters for as long as it waits.
class Waiting {
 public:
  Waiting(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll) : objects_(objects), waitAll_(waitAll) {
    for (const auto& object : objects_) ++object->waiters;
    gWaits.push_back(this);
  }
  ~Waiting() {
    for (const auto& object : objects_) --object->waiters;
    gWaits.erase(std::find(gWaits.begin(), gWaits.end(), this));
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

// The waits of a second or more on one object, under the kernel lock: a
// thread kept for later work rests in one while nothing has woken it.
std::vector<const Waitable*> gRestingWaits;

class Resting {
 public:
  Resting(const std::vector<std::shared_ptr<Waitable>>& objects, bool resting)
      : object_(resting ? objects.front().get() : nullptr) {
    if (object_) gRestingWaits.push_back(object_);
  }
  ~Resting() {
    if (object_) gRestingWaits.erase(std::find(gRestingWaits.begin(), gRestingWaits.end(), object_));
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
  const Resting resting(objects, count == 1 && milliseconds >= 1000);
  for (;;) {
    const int satisfied = TrySatisfy(objects, waitAll);
    if (satisfied >= 0) return WAIT_OBJECT_0 + static_cast<DWORD>(satisfied);
    if (milliseconds == INFINITE) {
      TheKernel().changed.wait(lock);
    } else if (TheKernel().changed.wait_until(lock, deadline) == std::cv_status::timeout) {
      const int last = TrySatisfy(objects, waitAll);
      return last >= 0 ? WAIT_OBJECT_0 + static_cast<DWORD>(last) : WAIT_TIMEOUT;
    }
  }
}

std::mutex gHoldMutex;
std::condition_variable gHoldChanged;
bool gHolding = false;
std::size_t gHeld = 0;

// Where a satisfied WaitForMultipleObjects stops while waits are held,
// outside the kernel lock, so that other threads go on meanwhile.
void StopWhileHeld() {
  std::unique_lock lock(gHoldMutex);
  if (!gHolding) return;
  ++gHeld;
  gHoldChanged.notify_all();
  gHoldChanged.wait(lock, [] { return !gHolding; });
  --gHeld;
}

}  // namespace

namespace standin {

void HoldSatisfiedWaits(bool hold) {
  std::lock_guard lock(gHoldMutex);
  gHolding = hold;
  gHoldChanged.notify_all();
}

std::size_t RestingThreadCount() {
  auto lock = LockKernel();
  return static_cast<std::size_t>(std::count_if(gRestingWaits.begin(), gRestingWaits.end(),
                                                [](const Waitable* object) { return !object->Signalled(); }));
}

std::size_t BlockedThreadCount() {
  auto lock = LockKernel();
  return static_cast<std::size_t>(std::count_if(gWaits.begin(), gWaits.end(), [](const Waiting* wait) { return wait->Blocked(); }));
}

std::size_t HeldWaits() {
  std::lock_guard lock(gHoldMutex);
  return gHeld;
}

}  // namespace standin

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  if (FailsByFault("WaitForSingleObject")) return WAIT_FAILED;
  return Wait(1, &hHandle, false, dwMilliseconds);
}

extern "C" DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                               DWORD dwMilliseconds) {
  if (FailsByFault("WaitForMultipleObjects")) return WAIT_FAILED;
  const DWORD waited = Wait(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds);
  if (waited < WAIT_OBJECT_0 + nCount) StopWhileHeld();
  return waited;
}

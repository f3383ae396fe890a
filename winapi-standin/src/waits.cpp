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

// Counts this thread among the objects' waiters, and the blocked threads,
// for as long as it waits.
class Waiting {
 public:
  explicit Waiting(const std::vector<std::shared_ptr<Waitable>>& objects) : objects_(objects) {
    for (const auto& object : objects_) ++object->waiters;
    ++TheKernel().blockedThreads;
  }
  ~Waiting() {
    for (const auto& object : objects_) --object->waiters;
    --TheKernel().blockedThreads;
  }
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;

 private:
  const std::vector<std::shared_ptr<Waitable>>& objects_;
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
  const Waiting waiting(objects);
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
  return static_cast<std::size_t>(TheKernel().blockedThreads);
}

std::size_t HeldWaits() {
  std::lock_guard lock(gHoldMutex);
  return gHeld;
}

}  // namespace standin

const FaultPoint kWaitForSingleObjectFault{"WaitForSingleObject"};

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  if (kWaitForSingleObjectFault.Fails()) return WAIT_FAILED;
  return Wait(1, &hHandle, false, dwMilliseconds);
}

const FaultPoint kWaitForMultipleObjectsFault{"WaitForMultipleObjects"};

extern "C" DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                               DWORD dwMilliseconds) {
  if (kWaitForMultipleObjectsFault.Fails()) return WAIT_FAILED;
  const DWORD waited = Wait(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds);
  if (waited < WAIT_OBJECT_0 + nCount) StopWhileHeld();
  return waited;
}

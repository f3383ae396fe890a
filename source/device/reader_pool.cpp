#include "device/reader_pool.h"

#include <memory>
#include <new>

#include "device/lock_hold.h"
#include "device/scoped_resources.h"

namespace reader_pool {
namespace {

// One parked thread serves a movie that closes and reopens its device; two
// serve two devices reopened together. More would only hold memory.
constexpr int kParkedMax = 2;
// A parked thread not wanted for this long ends. It is also how a thread
// whose wake-up failed still learns, late, what it was told.
constexpr DWORD kParkedLifetimeMs = 2000;
// What a reader's stack may grow to; Windows' default reserves a megabyte.
constexpr SIZE_T kStackReserve = 64 * 1024;
// How long the last device object's end waits for the threads to end. A
// parked one ends at once, a stopping reader's once its read is cancelled;
// one that still runs after this keeps the module loaded (DllCanUnloadNow
// counts it) rather than hold Director's thread.
constexpr DWORD kLastOwnerWaitMs = 1000;

// What a parked thread is told.
enum class Order { None, Run, End };

struct Worker {
  HMODULE module = nullptr;  // released by the thread's very last step
  Job job = nullptr;
  void* argument = nullptr;
  ScopedHandle io;    // the job's
  ScopedHandle wake;  // the job's stop event while a job runs
  Order order = Order::None;

  Events Lent() const { return {io.get(), wake.get()}; }
};

class Pool {
 public:
  Pool() { InitializeCriticalSection(&lock_); }
  // Every thread holds the module loaded until its very end, so when the
  // module is unloaded none is left and the lock goes with the pool. Only a
  // program that ends may still have a thread ending, one that could not be
  // waited for (a fuzzer's after its last run): its last steps take the
  // lock, so then the lock is left to the program's end.
  ~Pool() {
    EnterCriticalSection(&lock_);
    const bool threadsLeft = threads_ != 0;
    LeaveCriticalSection(&lock_);
    if (!threadsLeft) DeleteCriticalSection(&lock_);
  }
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;

  // The job goes to a parked thread; false when none is parked.
  bool Hand(Job job, void* argument, Events& events) {
    LockHold hold(lock_);
    Worker* worker = TakeParked();
    if (!worker) return false;
    worker->job = job;
    worker->argument = argument;
    events = worker->Lent();
    Tell(*worker, Order::Run);
    return true;
  }

  // False when the thread is not wanted: it ends.
  bool Park(Worker& worker);

  void AddOwner() {
    LockHold hold(lock_);
    ++owners_;
  }

  // The last owner's end wakes the parked threads and waits for every
  // thread to end.
  void RemoveOwner();

  // A thread is counted from before it starts until its last step here.
  void AddThread() {
    LockHold hold(lock_);
    ++threads_;
  }

  void RemoveThread() {
    LockHold hold(lock_);
    if (--threads_ == 0 && allEnded_) SetEvent(allEnded_);
  }

  long Threads() {
    LockHold hold(lock_);
    return threads_;
  }

 private:
  // With the lock held.
  Worker* TakeParked() {
    for (Worker*& slot : parked_) {
      if (!slot) continue;
      Worker* worker = slot;
      slot = nullptr;
      return worker;
    }
    return nullptr;
  }

  // With the lock held. Should the wake-up fail, the thread finds the order
  // when its wait runs out.
  static void Tell(Worker& worker, Order order) {
    worker.order = order;
    SetEvent(worker.wake.get());
  }

  CRITICAL_SECTION lock_;
  Worker* parked_[kParkedMax] = {};
  long owners_ = 0;
  long threads_ = 0;
  // Set when the last thread ends, while the last owner's end waits for it.
  HANDLE allEnded_ = nullptr;
};

Pool& ThePool() {
  static Pool pool;
  return pool;
}

// Waits without the pool's lock, which every thread takes on its way out.
void Pool::RemoveOwner() {
  ScopedHandle allEnded;
  {
    LockHold hold(lock_);
    if (--owners_ > 0) return;
    while (Worker* worker = TakeParked()) Tell(*worker, Order::End);
    if (threads_ == 0) return;
    // Without the event the threads still end on their own, and until
    // then DllCanUnloadNow counts them.
    allEnded.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    allEnded_ = allEnded.get();
  }
  if (allEnded) WaitForSingleObject(allEnded.get(), kLastOwnerWaitMs);
  LockHold hold(lock_);
  allEnded_ = nullptr;
}

bool Pool::Park(Worker& worker) {
  {
    LockHold hold(lock_);
    if (owners_ == 0) return false;
    Worker** free = nullptr;
    for (Worker*& slot : parked_)
      if (!slot) free = &slot;
    if (!free) return false;
    *free = &worker;
    worker.order = Order::None;
  }
  for (;;) {
    const DWORD waited = WaitForSingleObject(worker.wake.get(), kParkedLifetimeMs);
    LockHold hold(lock_);
    if (worker.order != Order::None) return worker.order == Order::Run;
    // A wake-up left over from an order the thread took after its wait had
    // run out, or from a stop that its job had no more need of: no order is
    // given without the thread being taken first.
    if (waited == WAIT_OBJECT_0) continue;
    // Not wanted for a while, or no wait is possible: the thread is still
    // parked, since taking it and ordering it are one step.
    for (Worker*& slot : parked_)
      if (slot == &worker) slot = nullptr;
    return false;
  }
}

DWORD WINAPI Serve(LPVOID parameter) {
  auto* worker = static_cast<Worker*>(parameter);
  const HMODULE module = worker->module;
  do {
    worker->job(worker->argument);
    worker->job = nullptr;
  } while (ThePool().Park(*worker));
  delete worker;
  // From here on the thread runs nothing of the module's but this call,
  // and its module reference keeps the module loaded until it is done.
  ThePool().RemoveThread();
  FreeLibraryAndExitThread(module, 0);
  return 0;
}

Refusal StartThread(Job job, void* argument, Events& events) {
  std::unique_ptr<Worker> worker(new (std::nothrow) Worker);
  if (!worker) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return Refusal::NoThread;
  }
  worker->io.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  // Each failure keeps its code past the closing of what was made.
  const auto refuse = [&worker](Refusal refusal) {
    const DWORD error = GetLastError();
    worker.reset();
    SetLastError(error);
    return refusal;
  };
  if (!worker->io) return refuse(Refusal::NoIoEvent);
  // Auto-reset, so that each order or stop wakes the thread once.
  worker->wake.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!worker->wake) return refuse(Refusal::NoStopEvent);
  // A reference of its own on the module: Director may unload it as soon as
  // DllCanUnloadNow agrees, while the thread still has its last steps to go.
  // Without one the thread must not run.
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&Serve),
                          &worker->module))
    return refuse(Refusal::NoThread);
  worker->job = job;
  worker->argument = argument;
  // Read before the thread runs: once its job is done it may end.
  const Events lent = worker->Lent();
  ThePool().AddThread();
  // Its handle is closed at once: the last device object's end waits for
  // the count of threads instead. Its stack is reserved small: a reader
  // needs little.
  const ScopedHandle thread(
      CreateThread(nullptr, kStackReserve, Serve, worker.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (thread) {
    worker.release();
    events = lent;
    return Refusal::None;
  }
  ThePool().RemoveThread();
  FreeLibrary(worker->module);
  return refuse(Refusal::NoThread);
}

}  // namespace

Refusal Run(Job job, void* argument, Events& events) {
  return ThePool().Hand(job, argument, events) ? Refusal::None : StartThread(job, argument, events);
}

void AddOwner() { ThePool().AddOwner(); }

void RemoveOwner() { ThePool().RemoveOwner(); }

long LiveThreads() { return ThePool().Threads(); }

}  // namespace reader_pool

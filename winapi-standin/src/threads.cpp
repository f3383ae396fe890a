#include <atomic>
#include <thread>

#include "faults.h"
#include "standin/kernel.h"
#include "standin/leaks.h"
#include "thread_exit.h"
#include "waitable.h"

using namespace standin::detail;

namespace {

struct Thread : Waitable {
  static constexpr ObjectKind kKind = ObjectKind::Thread;
  Thread() : Waitable(kKind) {}
  bool Signalled() const override { return finished; }
  bool finished = false;
  DWORD exitCode = STILL_ACTIVE;
};

std::atomic<std::size_t> gLiveThreads{0};
// Windows' thread ids are multiples of four and never zero.
std::atomic<DWORD> gNextThreadId{4};

DWORD NewThreadId() { return gNextThreadId.fetch_add(4); }

thread_local DWORD tThreadId = NewThreadId();

// Set on the threads CreateThread makes, for FreeLibraryAndExitThread.
struct ThreadEnd {
  bool made = false;
  HMODULE library = nullptr;
};
thread_local ThreadEnd tThreadEnd;

}  // namespace

bool standin::detail::ReleaseAtThreadEnd(HMODULE library) {
  if (!tThreadEnd.made) return false;
  tThreadEnd.library = library;
  return true;
}

extern "C" DWORD WINAPI GetCurrentThreadId() { return tThreadId; }

const FaultPoint kCreateThreadFault{"CreateThread"};

extern "C" HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                                      LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
  if (kCreateThreadFault.Fails()) return nullptr;
  if (!lpStartAddress || (dwCreationFlags & CREATE_SUSPENDED)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto thread = std::make_shared<Thread>();
  const DWORD id = NewThreadId();
  HANDLE handle;
  {
    auto lock = LockKernel();
    handle = AddHandle(thread);
  }
  if (lpThreadId) *lpThreadId = id;
  ++gLiveThreads;
  // Detached: like a Windows thread, it runs on when its handle is closed.
  std::thread([thread, id, lpStartAddress, lpParameter] {
    tThreadId = id;
    tThreadEnd.made = true;
    const DWORD exitCode = lpStartAddress(lpParameter);
    if (tThreadEnd.library) FreeLibrary(tThreadEnd.library);
    auto lock = LockKernel();
    thread->exitCode = exitCode;
    thread->finished = true;
    --gLiveThreads;
    TheKernel().changed.notify_all();
  }).detach();
  return handle;
}

const FaultPoint kGetExitCodeThreadFault{"GetExitCodeThread"};

extern "C" BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  if (kGetExitCodeThreadFault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto thread = Find<Thread>(hThread);
  if (!thread || !lpExitCode) {
    SetLastError(thread ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *lpExitCode = thread->exitCode;
  return TRUE;
}

std::size_t standin::LiveThreadCount() { return gLiveThreads.load(); }

bool standin::AwaitThreadsEnded(std::chrono::milliseconds patience) {
  auto lock = LockKernel();
  return TheKernel().changed.wait_for(lock, patience, [] { return gLiveThreads.load() == 0; });
}

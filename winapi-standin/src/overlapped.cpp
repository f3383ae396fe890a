#include "device_file.h"
#include "faults.h"
#include "ntstatus.h"
#include "standin/files.h"
#include "standin/kernel.h"

using namespace standin::detail;

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

NTSTATUS StatusOf(const OVERLAPPED& overlapped) { return static_cast<NTSTATUS>(overlapped.Internal); }

BOOL Cancel(HANDLE hFile, const OVERLAPPED* overlapped, DWORD thread, bool failWhenNone) {
  auto lock = LockKernel();
  auto file = Find<DeviceFile>(hFile);
  if (!file) return Fail(ERROR_INVALID_HANDLE);
  const std::size_t cancelled = EndPendingIo(*file->device, {file.get(), overlapped, thread}, STATUS_CANCELLED);
  if (cancelled == 0 && failWhenNone) return Fail(ERROR_NOT_FOUND);
  return TRUE;
}

}  // namespace

const FaultPoint kGetOverlappedResultFault{"GetOverlappedResult"};

// Waits for the operation itself rather than for hEvent, so a caller that
// resets the event early cannot make it return a pending result.
extern "C" BOOL WINAPI GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped,
                                           LPDWORD lpNumberOfBytesTransferred, BOOL bWait) {
  if (kGetOverlappedResultFault.Fails()) return FALSE;
  auto lock = LockKernel();
  if (!Find<DeviceFile>(hFile)) return Fail(ERROR_INVALID_HANDLE);
  if (!lpOverlapped || !lpNumberOfBytesTransferred) return Fail(ERROR_INVALID_PARAMETER);
  if (StatusOf(*lpOverlapped) == STATUS_PENDING) {
    if (!bWait) return Fail(ERROR_IO_INCOMPLETE);
    ++TheKernel().overlappedWaiters;
    BlockUntil(lock, [&] { return StatusOf(*lpOverlapped) != STATUS_PENDING; });
    --TheKernel().overlappedWaiters;
  }
  *lpNumberOfBytesTransferred = static_cast<DWORD>(lpOverlapped->InternalHigh);
  const NTSTATUS status = StatusOf(*lpOverlapped);
  return status == STATUS_SUCCESS ? TRUE : Fail(ErrorFromStatus(status));
}

extern "C" BOOL WINAPI HasOverlappedIoCompleted(const OVERLAPPED* lpOverlapped) {
  auto lock = LockKernel();
  return StatusOf(*lpOverlapped) != STATUS_PENDING;
}

const FaultPoint kCancelIoFault{"CancelIo"};

extern "C" BOOL WINAPI CancelIo(HANDLE hFile) {
  if (kCancelIoFault.Fails()) return FALSE;
  return Cancel(hFile, nullptr, GetCurrentThreadId(), false);
}

const FaultPoint kCancelIoExFault{"CancelIoEx"};

extern "C" BOOL WINAPI CancelIoEx(HANDLE hFile, LPOVERLAPPED lpOverlapped) {
  if (kCancelIoExFault.Fails()) return FALSE;
  return Cancel(hFile, lpOverlapped, 0, true);
}

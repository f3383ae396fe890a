#include "device/interface_open.h"

#include "device/reader_thread.h"
#include "values/host_text.h"

namespace {

constexpr DWORD kReaderLetGoMs = 250;
constexpr DWORD kRetryMs = 5;
constexpr DWORD kShareBoth = FILE_SHARE_READ | FILE_SHARE_WRITE;
// Interface paths are far shorter; a longer text names no device.
constexpr size_t kPathUnits = 1024;

}  // namespace

ScopedHandle OpenInterface(const char* path, DWORD access, DWORD share, DWORD flags) {
  WCHAR widePath[kPathUnits];
  if (!HostTextToWide(path, widePath, kPathUnits)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return ScopedHandle();
  }
  for (DWORD waited = 0;; waited += kRetryMs) {
    // Counted before the attempt: a reader may close its handle and stop
    // counting between a refused open and a look at the count afterwards.
    // Readers are let go of only on this thread, so none joins meanwhile.
    const bool readerLettingGo = ReaderThread::LettingGo() != 0;
    ScopedHandle handle(CreateFileW(widePath, access, share, nullptr, OPEN_EXISTING, flags, nullptr));
    if (handle) return handle;
    if (GetLastError() != ERROR_SHARING_VIOLATION || !readerLettingGo || waited >= kReaderLetGoMs) return handle;
    Sleep(kRetryMs);
  }
}

ScopedHandle OpenSharedOrForQueries(const char* path, DWORD flags, bool& queryOnly) {
  ScopedHandle handle = OpenInterface(path, GENERIC_READ | GENERIC_WRITE, kShareBoth, flags);
  queryOnly = !handle && GetLastError() == ERROR_ACCESS_DENIED;
  if (queryOnly) handle = OpenInterface(path, 0, kShareBoth, flags);
  return handle;
}

#include "device/interface_open.h"

#include "device/reader_thread.h"

namespace {

constexpr DWORD kReaderLetGoMs = 250;
constexpr DWORD kRetryMs = 5;

}  // namespace

HANDLE OpenInterface(const char* path, DWORD access, DWORD share, DWORD flags) {
  for (DWORD waited = 0;; waited += kRetryMs) {
    HANDLE handle = CreateFileA(path, access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    if (GetLastError() != ERROR_SHARING_VIOLATION || ReaderThread::LettingGo() == 0 || waited >= kReaderLetGoMs)
      return nullptr;
    Sleep(kRetryMs);
  }
}

// Opening one collection by its path: the way to tell identical devices
// apart, to keep a device to oneself, and to reach one that Windows keeps.
#include <new>

#include "device/system_message.h"
#include "device/usb_class_pc.h"

namespace {

HANDLE OpenPath(const char* path, DWORD access, DWORD share) {
  HANDLE handle = CreateFileA(path, access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

}  // namespace

XtraResult UsbClassPC::OpenByPath(const char* path, bool exclusive) {
  result.SetOk();
  if (listening || deviceHandle) Close();
  constexpr DWORD kShareBoth = FILE_SHARE_READ | FILE_SHARE_WRITE;
  // Exclusive: this handle writes and lets only readers in; the reader's
  // handle reads and lets only writers in (see PrepareForRead).
  HANDLE handle = exclusive ? OpenPath(path, GENERIC_WRITE, FILE_SHARE_READ)
                            : OpenPath(path, GENERIC_READ | GENERIC_WRITE, kShareBoth);
  openMode = exclusive ? OpenMode::Exclusive : OpenMode::Shared;
  if (!handle && !exclusive && GetLastError() == ERROR_ACCESS_DENIED) {
    handle = OpenPath(path, 0, kShareBoth);
    openMode = OpenMode::QueryOnly;
  }
  if (!handle) {
    SetSystemError(result, "Open failed", GetLastError());
    openMode = OpenMode::Shared;
    return result;
  }
  try {
    devicePath = path;
  } catch (const std::bad_alloc&) {
    CloseHandle(handle);
    result.SetError("Out of memory", XtraResult::kNoCode);
    return result;
  }
  deviceHandle = handle;
  return Listen();
}

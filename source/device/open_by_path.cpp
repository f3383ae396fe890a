// Opening one collection by its path: the way to tell identical devices
// apart, to keep a device to oneself, and to reach one that Windows keeps.
#include <new>

#include "device/interface_open.h"
#include "device/system_message.h"
#include "device/usb_class_pc.h"

XtraResult UsbClassPC::OpenByPath(const char* path, bool exclusive) {
  result.SetOk();
  if (listening || deviceHandle) Close();
  ForgetReaderFailures();
  constexpr DWORD kShareBoth = FILE_SHARE_READ | FILE_SHARE_WRITE;
  // Overlapped, as the other opens keep theirs: it carries the writes.
  // Exclusive: this handle writes and lets only readers in; the reader's
  // handle reads and lets only writers in (see PrepareForRead).
  HANDLE handle = exclusive ? OpenInterface(path, GENERIC_WRITE, FILE_SHARE_READ, FILE_FLAG_OVERLAPPED)
                            : OpenInterface(path, GENERIC_READ | GENERIC_WRITE, kShareBoth, FILE_FLAG_OVERLAPPED);
  openMode = exclusive ? OpenMode::Exclusive : OpenMode::Shared;
  if (!handle && !exclusive && GetLastError() == ERROR_ACCESS_DENIED) {
    handle = OpenInterface(path, 0, kShareBoth, FILE_FLAG_OVERLAPPED);
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

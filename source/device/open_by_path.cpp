// Opening one collection by its path: the way to tell identical devices
// apart, to keep a device to oneself, and to reach one that Windows keeps.
#include <new>

#include "device/interface_open.h"
#include "device/usb_class_pc.h"
#include "diagnostics/system_message.h"

XtraResult UsbClassPC::OpenByPath(const char* path, bool exclusive) {
  result.SetOk();
  if (listening || deviceHandle) Close();
  ForgetReaderFailures();
  // Overlapped, as the other opens keep theirs: it carries the writes.
  // Exclusive: this handle writes and lets only readers in; the reader's
  // handle reads and lets only writers in.
  bool queryOnly = false;
  ScopedHandle handle = exclusive ? OpenInterface(path, GENERIC_WRITE, FILE_SHARE_READ, FILE_FLAG_OVERLAPPED)
                                  : OpenSharedOrForQueries(path, FILE_FLAG_OVERLAPPED, queryOnly);
  if (!handle) {
    SetSystemError(result, "Open failed", GetLastError());
    return result;
  }
  try {
    devicePath = path;
  } catch (const std::bad_alloc&) {
    result.SetError("Out of memory", XtraResult::kNoCode);
    return result;
  }
  return Listen(std::move(handle),
                exclusive ? OpenMode::Exclusive : queryOnly ? OpenMode::QueryOnly : OpenMode::Shared);
}

#include "device_file.h"
#include "faults.h"
#include "ntstatus.h"
#include "standin/kernel.h"

using namespace standin::detail;

const FaultPoint kCloseHandleFault{"CloseHandle"};

// Closes events, threads and files. Device info sets and preparsed data are
// not kernel handles on Windows and have their own functions.
extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
  if (kCloseHandleFault.Fails()) return FALSE;
  if (hObject == INVALID_HANDLE_VALUE) return TRUE;  // the current process's pseudo handle
  auto lock = LockKernel();
  auto object = FindHandle(hObject);
  if (!object || object->kind == ObjectKind::DeviceInfoSet || object->kind == ObjectKind::PreparsedData) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // As the driver's cleanup does when the last handle on a file goes.
  if (auto file = Find<DeviceFile>(hObject)) {
    EndPendingIo(*file->device, {file.get()}, STATUS_CANCELLED);
    RemoveInputQueue(*file->device, *file->input);
  }
  RemoveHandle(hObject);
  return TRUE;
}

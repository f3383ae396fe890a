#include "device/own_io.h"

namespace {

using CancelIoExFunction = BOOL(WINAPI*)(HANDLE, LPOVERLAPPED);

CancelIoExFunction LookUpCancelIoEx() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  FARPROC found = kernel ? GetProcAddress(kernel, "CancelIoEx") : nullptr;
  return reinterpret_cast<CancelIoExFunction>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

void CancelOwnIo(HANDLE file, OVERLAPPED* overlapped) {
  static const CancelIoExFunction cancelIoEx = LookUpCancelIoEx();
  if (!cancelIoEx || !cancelIoEx(file, overlapped)) CancelIo(file);
}

bool IoFinished(const OVERLAPPED& overlapped, DWORD milliseconds) {
  return WaitForSingleObject(overlapped.hEvent, milliseconds) == WAIT_OBJECT_0;
}

IoResult IoOutcome(HANDLE file, OVERLAPPED* overlapped) {
  DWORD bytes = 0;
  if (GetOverlappedResult(file, overlapped, &bytes, FALSE)) return {ERROR_SUCCESS, bytes};
  return {GetLastError(), 0};
}

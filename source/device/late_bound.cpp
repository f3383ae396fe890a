#include "device/late_bound.h"

bool CancelIoOfAnyThread(HANDLE file) {
#if defined(_WIN32)
  using CancelIoExFunction = BOOL(WINAPI*)(HANDLE, LPOVERLAPPED);
  static const auto cancelIoEx = reinterpret_cast<CancelIoExFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CancelIoEx")));
  return cancelIoEx && cancelIoEx(file, nullptr);
#else
  return CancelIoEx(file, nullptr);
#endif
}

#include <dlfcn.h>
#include <strings.h>

#include <cstring>

#include "faults.h"
#include "standin/files.h"
#include "standin/kernel.h"
#include "thread_exit.h"

namespace {

// kernel32 is part of the stand-in itself; any address stands for it.
HMODULE Kernel32() {
  static char marker;
  return reinterpret_cast<HMODULE>(&marker);
}

template <class Function>
FARPROC Export(Function function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName && strcasecmp(lpModuleName, "kernel32.dll") == 0) return Kernel32();
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

const standin::detail::FaultPoint kGetProcAddressFault{"GetProcAddress"};

extern "C" FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  if (kGetProcAddressFault.Fails()) return nullptr;
  if (hModule == Kernel32() && lpProcName) {
    if (std::strcmp(lpProcName, "CancelIo") == 0) return Export(CancelIo);
    if (std::strcmp(lpProcName, "CancelIoEx") == 0) return Export(CancelIoEx);
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

const standin::detail::FaultPoint kGetModuleHandleExAFault{"GetModuleHandleExA"};

extern "C" BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule) {
  if (kGetModuleHandleExAFault.Fails()) return FALSE;
  Dl_info info{};
  if (dwFlags != GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS || !phModule || !dladdr(lpModuleName, &info)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The program itself is no library: its name does not find it.
  void* library = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
  if (!library) library = dlopen(nullptr, RTLD_NOW);
  *phModule = static_cast<HMODULE>(library);
  return TRUE;
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  if (!hLibModule || hLibModule == Kernel32() || dlclose(hLibModule) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" void WINAPI FreeLibraryAndExitThread(HMODULE hLibModule, DWORD) {
  if (!standin::detail::ReleaseAtThreadEnd(hLibModule)) FreeLibrary(hLibModule);
}

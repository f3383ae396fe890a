#include "windows_api.h"
#include "wine_devices.h"

// Wine's ntdll exports its version; Windows' does not.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Wine's devices are there already, and Windows keeps no count to check.
void WindowsApi::SetUp() {}
void WindowsApi::TearDown() {}

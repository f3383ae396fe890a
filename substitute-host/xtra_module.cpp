#include "xtra_module.h"

#include <thread>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include "host_windows.h"

using namespace director;

XtraModule::~XtraModule() { Unload(); }

void* XtraModule::Resolve(const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
  return dlsym(handle_, name);
#endif
}

bool XtraModule::Load(const std::string& path) {
  Unload();
#if defined(_WIN32)
  handle_ = LoadLibraryA(path.c_str());
  if (!handle_) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
#else
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    error_ = "cannot load " + path + ": " + dlerror();
    return false;
  }
  // Windows' loader calls the entry point; the native loader must do it.
  if (auto entry = reinterpret_cast<BOOL (*)(HINSTANCE, DWORD, LPVOID)>(Resolve("DllMain")))
    entry(nullptr, DLL_PROCESS_ATTACH, nullptr);
#endif
  DllGetClassInfo = reinterpret_cast<DllGetClassInfoProc>(Resolve("DllGetClassInfo"));
  DllGetClassForm = reinterpret_cast<DllGetClassFormProc>(Resolve("DllGetClassForm"));
  DllGetInterface = reinterpret_cast<DllGetInterfaceProc>(Resolve("DllGetInterface"));
  DllCanUnloadNow = reinterpret_cast<DllCanUnloadNowProc>(Resolve("DllCanUnloadNow"));
  DllGetClassObject = reinterpret_cast<DllGetClassObjectProc>(Resolve("DllGetClassObject"));
  if (!DllGetClassInfo || !DllGetClassForm || !DllGetInterface || !DllCanUnloadNow || !DllGetClassObject) {
    error_ = path + " lacks an Xtra export";
    Unload();
    return false;
  }
  return true;
}

bool XtraModule::AwaitUnloadable(std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (!DllCanUnloadNow || DllCanUnloadNow() == kMoaErr_NoErr) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// As Director does: a module that still has live objects stays loaded, and
// one that agrees to go has tidied up in DllCanUnloadNow.
void XtraModule::Unload() {
  if (!handle_) return;
  if (DllCanUnloadNow && DllCanUnloadNow() != kMoaErr_NoErr) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  if (auto entry = reinterpret_cast<BOOL (*)(HINSTANCE, DWORD, LPVOID)>(Resolve("DllMain")))
    entry(nullptr, DLL_PROCESS_DETACH, nullptr);
  dlclose(handle_);
#endif
  handle_ = nullptr;
  DllGetClassInfo = nullptr;
  DllGetClassForm = nullptr;
  DllGetInterface = nullptr;
  DllCanUnloadNow = nullptr;
  DllGetClassObject = nullptr;
}

// Loads an Xtra module and resolves its exports by name, as Director does.
#pragma once

#include <chrono>
#include <string>

#include "xtra_calls.h"

class XtraModule {
 public:
  XtraModule() = default;
  ~XtraModule();
  XtraModule(const XtraModule&) = delete;
  XtraModule& operator=(const XtraModule&) = delete;

  // False, with error() telling why, when the file or an export is missing.
  bool Load(const std::string& path);
  const std::string& error() const { return error_; }

  // The loaded module's handle (an HMODULE on Windows).
  void* handle() const { return handle_; }

  director::DllGetClassInfoProc DllGetClassInfo = nullptr;
  director::DllGetClassFormProc DllGetClassForm = nullptr;
  director::DllGetInterfaceProc DllGetInterface = nullptr;
  director::DllCanUnloadNowProc DllCanUnloadNow = nullptr;
  director::DllGetClassObjectProc DllGetClassObject = nullptr;

  // Asks DllCanUnloadNow until it agrees, for at most `patience`, as Director
  // asks again later: the threads of closed devices end on their own.
  bool AwaitUnloadable(std::chrono::milliseconds patience);

 private:
  void* Resolve(const char* name);
  void Unload();

  void* handle_ = nullptr;
  std::string error_;
};

// Where the build put the Xtra: next to the program on Windows, the build
// tree's library natively; HIDBRIDGE_XTRA overrides both.
std::string DefaultXtraPath();

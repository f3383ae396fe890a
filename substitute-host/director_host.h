// A substitute for Director: loads an Xtra through its exports, registers it,
// makes instances and offers the host services as Director lays them out,
// watches the Xtra's use of them, and can tell at the end what the Xtra left
// behind or did wrong.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app_info.h"
#include "host_allocator.h"
#include "host_callback.h"
#include "host_instance.h"
#include "host_registry.h"
#include "host_watch.h"
#include "lingo_values.h"
#include "notification_service.h"
#include "player_service.h"
#include "value_services.h"
#include "window_service.h"
#include "xtra_module.h"

class DirectorHost {
 public:
  DirectorHost();
  ~DirectorHost();
  DirectorHost(const DirectorHost&) = delete;
  DirectorHost& operator=(const DirectorHost&) = delete;

  // Loads the module, discovers its class and takes over its message boxes.
  // False with error() on failure.
  bool Load(const std::string& path = DefaultXtraPath());
  const std::string& error() const { return error_; }

  XtraModule& module() { return module_; }
  const director::MoaID& classId() const { return class_.classId; }
  director::MoaLong instanceSize() const { return class_.instanceSize; }
  // The entries of DllGetClassInfo, terminator excluded.
  const std::vector<director::MoaClassInterfaceInfo>& classInfo() const { return classInfo_; }

  // Registration as Director does it once per Xtra, before any movie plays:
  // an instance is made, asked for IMoaRegister, registered and destroyed,
  // without `new`.
  director::MoaError Register();
  HostCache& cache() { return cache_; }
  HostDict& xtraDict() { return xtraDict_; }

  // Which Director the host plays: "11.5" (UTF-8) unless told otherwise;
  // before 11, Windows-1252.
  void PlayDirector(const std::string& productVersion);

  HostWatch& watch() { return watch_; }
  HostAllocator& allocator() { return allocator_; }
  HostCallback& callback() { return callback_; }
  LingoValueStore& values() { return values_; }
  HostValueService& valueService() { return valueService_; }
  HostListService& listService() { return listService_; }
  HostPlayer& player() { return player_; }
  HostNotification& notification() { return notification_; }
  HostWindows& windows() { return windows_; }
  HostAppInfo& appInfo() { return appInfo_; }
  // The Xtra's file name without folder and extension, e.g. "HidBridge".
  const std::string& xtraName() const { return xtraName_; }

  // A new instance with its base filled and the create proc run, holding the
  // host's one reference; null with error() when that fails.
  HostInstance* CreateInstance();

  // Dispatches the thread's waiting window messages, as Director's idle loop
  // does, and sends one message: either way the Xtra's window procedure
  // runs as the host's, where every call into the host must come inside
  // PushXtraContext / PopXtraContext.
  void DispatchWindowMessages();
  intptr_t SendWindowMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam);

  // Every message box the Xtra shows, after the host has checked it.
  void OnMessageBox(std::function<void(const std::string& caption, const std::string& text)> sink) {
    boxSink_ = std::move(sink);
  }

  // What the Xtra left behind, one line each; empty when nothing is.
  std::vector<std::string> LeftBehind() const;
  // What the Xtra did that Director would not survive or answer differently.
  std::vector<std::string> Misuses() const { return watch_.Misuses(); }
  // Both, the misuses as "misuse: ...": what a test insists is empty.
  std::vector<std::string> Leaks() const;

 private:
  HostWatch watch_;
  XtraModule module_;
  XtraClass class_;
  std::string error_;
  std::string xtraName_;
  std::vector<director::MoaClassInterfaceInfo> classInfo_;
  HostAllocator allocator_{watch_};
  HostCallback callback_{watch_};
  LingoValueStore values_;
  HostValueService valueService_{watch_, values_};
  HostListService listService_{watch_, values_};
  HostPlayer player_{watch_, values_};
  HostNotification notification_{watch_};
  HostWindows windows_{watch_};
  HostAppInfo appInfo_{watch_};
  HostDict xtraDict_{watch_};
  HostCache cache_{watch_, xtraDict_};
  std::vector<std::unique_ptr<HostInstance>> instances_;
  std::function<void(const std::string&, const std::string&)> boxSink_;
};

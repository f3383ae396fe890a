// A substitute for Director: loads an Xtra through its exports, registers it,
// makes script instances and offers the host services, and can tell at the
// end what the Xtra left behind.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host_allocator.h"
#include "host_registry.h"
#include "lingo_values.h"
#include "notification_service.h"
#include "player_service.h"
#include "utils_service.h"
#include "value_services.h"
#include "xtra_module.h"

class DirectorHost;

// The host's service object: hands out whatever services the host offers.
class HostCallback : public HostObject<IMoaCallback> {
 public:
  HostCallback();
  MoaError MOA_CALL QueryInterface(const MoaID* iid, void** out) override;
  void Offer(const MoaID& iid, IMoaUnknown* service);
  void Withdraw(const MoaID& iid);

 private:
  std::vector<std::pair<MoaID, IMoaUnknown*>> services_;
};

// One instance's data and its own IMoaUnknown. The host's reference is the
// first; the Xtra's interface objects add theirs. At zero the destroy
// callback runs and the data is freed.
class HostInstance final : public IMoaUnknown {
 public:
  HostInstance(DirectorHost& host, void* data) : host_(host), data_(data) {}

  MoaError MOA_CALL QueryInterface(const MoaID* iid, void** out) override;
  MoaUlong MOA_CALL AddRef() override;
  MoaUlong MOA_CALL Release() override;

  void* data() const { return data_; }
  bool disposed() const { return data_ == nullptr; }
  int references() const { return references_; }
  // Releases beyond the references taken: always a fault of the Xtra.
  int overReleases() const { return overReleases_; }

 private:
  DirectorHost& host_;
  void* data_;
  int references_ = 1;
  int overReleases_ = 0;
};

class DirectorHost {
 public:
  DirectorHost();
  ~DirectorHost();
  DirectorHost(const DirectorHost&) = delete;
  DirectorHost& operator=(const DirectorHost&) = delete;

  // Loads the module and discovers its class. False with error() on failure.
  bool Load(const std::string& path = DefaultXtraPath());
  const std::string& error() const { return error_; }

  XtraModule& module() { return module_; }
  const MoaID& classId() const { return classId_; }
  MoaLong instanceSize() const { return instanceSize_; }
  // The entries of DllGetClassInfo, terminator excluded.
  const std::vector<MoaClassInterfaceInfo>& classInfo() const { return classInfo_; }

  // Registration as Director does it once per Xtra: a passing instance is
  // asked for IMoaRegister and dropped again.
  MoaError Register();
  HostCache& cache() { return cache_; }
  HostDict& xtraDict() { return xtraDict_; }

  HostAllocator& allocator() { return allocator_; }
  HostCallback& callback() { return callback_; }
  LingoValueStore& values() { return values_; }
  HostPlayer& player() { return player_; }
  HostNotification& notification() { return notification_; }
  // The Xtra's file name without folder and extension, e.g. "HidBridge".
  const std::string& xtraName() const { return xtraName_; }

  // A new instance with its data made and the create callback run, holding
  // the host's one reference; null with error() when that fails.
  HostInstance* CreateInstance();

  // One line per thing the Xtra left behind; empty when nothing is.
  std::vector<std::string> Leaks() const;

 private:
  friend class HostInstance;
  void Dispose(void* data);

  XtraModule module_;
  std::string error_;
  std::string xtraName_;
  MoaID classId_{};
  MoaLong instanceSize_ = 0;
  MoaClassCreateProc create_ = nullptr;
  MoaClassDestroyProc destroy_ = nullptr;
  std::vector<MoaClassInterfaceInfo> classInfo_;
  HostAllocator allocator_;
  HostCallback callback_;
  LingoValueStore values_;
  HostValueService valueService_{values_};
  HostListService listService_{values_};
  HostPlayer player_{values_};
  HostNotification notification_;
  HostUtils utils_;
  // Asked for by the Xtra, never called: an interface with nothing of its own.
  HostObject<IMoaUnknown> idle_{IID_IMoaIdle};
  HostCache cache_;
  HostDict xtraDict_;
  std::vector<std::unique_ptr<HostInstance>> instances_;
};

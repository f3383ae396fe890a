// An instance as Director makes it: a block of the size DllGetClassForm
// reports, from the host allocator, whose first bytes are Director's
// instance base. The block's address is the instance's own IMoaUnknown: its
// first word points at the host's QueryInterface, AddRef and Release. The
// host checks that the Xtra never writes those bytes.
#pragma once

#include "director_abi.h"
#include "host_allocator.h"
#include "host_callback.h"
#include "host_watch.h"
#include "xtra_module.h"

// What Director learnt of the Xtra's one class.
struct XtraClass {
  XtraModule* module = nullptr;
  director::MoaID classId{};
  director::MoaLong instanceSize = 0;
  director::ClassCreateProc create = nullptr;
  director::ClassDestroyProc destroy = nullptr;
};

class HostInstance {
 public:
  // Fills the base of `block`; the create proc is the caller's to run.
  HostInstance(const XtraClass& xtraClass, HostAllocator& allocator, HostCallback& callback, HostWatch& watch,
               void* block);
  ~HostInstance();
  HostInstance(const HostInstance&) = delete;
  HostInstance& operator=(const HostInstance&) = delete;

  // Through the instance's own slots 0 to 2, as the Xtra calls them.
  director::MoaError QueryInterface(const director::MoaID* iid, void** out);
  director::MoaUlong AddRef();
  director::MoaUlong Release();

  // The block, which is the instance's IMoaUnknown; null once it is gone.
  void* data() const { return block_; }
  director::IMoaUnknown* unknown() const { return static_cast<director::IMoaUnknown*>(block_); }
  bool disposed() const { return block_ == nullptr; }
  int references() const { return references_; }
  // Releases beyond the references taken: always a fault of the Xtra.
  int overReleases() const { return overReleases_; }

  // Records a misuse when the Xtra wrote Director's bytes, and puts them back.
  void CheckBase(const char* when);

  // The host's own answers behind the instance's slots.
  director::MoaError ServeQueryInterface(const director::MoaID* iid, void** out);
  director::MoaUlong ServeAddRef();
  director::MoaUlong ServeRelease();
  static HostInstance* Of(const void* block);
  HostWatch& watch() const { return watch_; }

 private:
  director::InstanceBase Expected() const;
  void Dispose();

  const XtraClass& class_;
  HostAllocator& allocator_;
  HostCallback& callback_;
  HostWatch& watch_;
  void* block_;
  int references_ = 1;
  int overReleases_ = 0;
};

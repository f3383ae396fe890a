// Host-side interface objects live as long as the host that owns them; they
// count references only so that tests can prove the Xtra's AddRef and
// Release calls balance.
#pragma once

#include "host/moa_contract.h"

template <class Interface>
class HostObject : public Interface {
 public:
  explicit HostObject(const MoaID& interfaceId) : interfaceId_(interfaceId) {}
  virtual ~HostObject() = default;
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  MoaError MOA_CALL QueryInterface(const MoaID* iid, void** out) override {
    if (SameMoaID(*iid, interfaceId_) || SameMoaID(*iid, IID_IMoaUnknown)) {
      AddRef();
      *out = static_cast<Interface*>(this);
      return kMoaErr_NoErr;
    }
    *out = nullptr;
    return kMoaErr_BadInterface;
  }
  MoaUlong MOA_CALL AddRef() override { return static_cast<MoaUlong>(++references_); }
  MoaUlong MOA_CALL Release() override { return static_cast<MoaUlong>(--references_); }

  // References handed out and not yet released.
  int references() const { return references_; }

 private:
  MoaID interfaceId_;
  int references_ = 0;
};

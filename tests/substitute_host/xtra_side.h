// The Xtra's side of Director's interface, for the host's own tests: host
// services reached through the Xtra's C++ declarations (so that every call
// lands on the host's slot tables as an Xtra's would), and small objects
// that play the Xtra's interface objects.
#pragma once

#include "director_host.h"
#include "xtra_interfaces.h"

// What the Xtra gets when it asks the host's callback for a service.
template <class Service>
Service* AskHost(DirectorHost& host, const director::MoaID& iid) {
  void* service = nullptr;
  auto* callback = static_cast<xtra_view::IMoaCallback*>(host.callback().door());
  return callback->QueryInterface(&iid, &service) == director::kMoaErr_NoErr ? static_cast<Service*>(service) : nullptr;
}

// An interface object of the Xtra's that counts its references.
template <class Interface>
struct CountedObject : Interface {
  director::MoaError XTRA_CALL QueryInterface(const director::MoaID*, void** out) override {
    *out = nullptr;
    return director::kMoaErr_BadInterface;
  }
  director::MoaUlong XTRA_CALL AddRef() override { return static_cast<director::MoaUlong>(++references); }
  director::MoaUlong XTRA_CALL Release() override { return static_cast<director::MoaUlong>(--references); }

  // The pointer the host holds it by.
  template <class HostInterface>
  HostInterface* ForHost() {
    return reinterpret_cast<HostInterface*>(static_cast<Interface*>(this));
  }

  int references = 0;
};

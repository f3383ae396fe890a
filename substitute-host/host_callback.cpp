#include "host_callback.h"

using namespace director;

MoaError HostCallback::QueryInterface(const MoaID* iid, void** out) {
  if (iid && out) {
    for (auto& [serviceId, service] : services_)
      if (SameMoaID(serviceId, *iid)) return service->QueryInterface(iid, out);
  }
  return IMoaCallbackSlots::QueryInterface(iid, out);
}

void HostCallback::Offer(HostService& service) {
  Withdraw(service.iid());
  services_.emplace_back(service.iid(), &service);
}

void HostCallback::Withdraw(const MoaID& iid) {
  for (auto it = services_.begin(); it != services_.end(); ++it) {
    if (SameMoaID(it->first, iid)) {
      services_.erase(it);
      return;
    }
  }
}

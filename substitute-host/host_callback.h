// IMoaCallback: the one object an instance gets from Director, whose
// QueryInterface hands out every other service by ID.
#pragma once

#include <utility>
#include <vector>

#include "host_service.h"

namespace director {
XDK_SERVICE_CLASS(IMoaCallbackSlots, IMoaCallback, IID_IMoaCallback, XDK_IMOACALLBACK_SLOTS, XDK_NO_UNLISTED, false);
}  // namespace director

class HostCallback final : public director::IMoaCallbackSlots {
 public:
  explicit HostCallback(HostWatch& hostWatch) : IMoaCallbackSlots(hostWatch) {}

  director::MoaError QueryInterface(const director::MoaID* iid, void** out) override;
  void Offer(HostService& service);
  void Withdraw(const director::MoaID& iid);

 private:
  std::vector<std::pair<director::MoaID, HostService*>> services_;
};

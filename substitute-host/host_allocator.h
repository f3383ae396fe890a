// The host allocator, IMoaCalloc: counts live blocks and can be told to fail.
#pragma once

#include <cstddef>
#include <set>

#include "host_service.h"

namespace director {
XDK_SERVICE_CLASS(IMoaCallocSlots, IMoaCalloc, IID_IMoaCalloc, XDK_IMOACALLOC_SLOTS, XDK_NO_UNLISTED, false);
}  // namespace director

class HostAllocator final : public director::IMoaCallocSlots {
 public:
  explicit HostAllocator(HostWatch& hostWatch) : IMoaCallocSlots(hostWatch) {}
  ~HostAllocator() override;

  // Zero-filled, so that nothing of a block reads as a value by chance.
  void* NRAlloc(director::MoaUlong size) override;
  void NRFree(void* block) override;

  size_t liveBlocks() const { return live_.size(); }
  // The allocation after `skip` further successful ones fails, once.
  void FailAllocationAfter(int skip) { failCountdown_ = skip; }
  // Frees of blocks this allocator never handed out (or freed twice).
  int foreignFrees() const { return foreignFrees_; }

 private:
  std::set<void*> live_;
  int failCountdown_ = -1;
  int foreignFrees_ = 0;
};

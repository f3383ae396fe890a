// The host allocator: counts live blocks and can be told to fail.
#pragma once

#include <cstddef>
#include <set>

#include "host_object.h"

// Not an interface ID of the contract: the allocator is handed over directly.
constexpr MoaID IID_HostAllocator = {0x5A110C00, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 1}};

class HostAllocator : public HostObject<IMoaCalloc> {
 public:
  HostAllocator() : HostObject(IID_HostAllocator) {}
  ~HostAllocator() override;

  void* MOA_CALL NRAlloc(MoaUlong size) override;
  void MOA_CALL NRFree(void* block) override;

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

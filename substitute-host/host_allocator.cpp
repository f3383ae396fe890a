#include "host_allocator.h"

#include <cstdlib>

HostAllocator::~HostAllocator() {
  for (void* block : live_) std::free(block);
}

void* HostAllocator::NRAlloc(director::MoaUlong size) {
  if (failCountdown_ == 0) {
    failCountdown_ = -1;
    return nullptr;
  }
  if (failCountdown_ > 0) --failCountdown_;
  void* block = std::calloc(1, size ? size : 1);
  if (block) live_.insert(block);
  return block;
}

void HostAllocator::NRFree(void* block) {
  if (!block) return;
  if (live_.erase(block) == 0) {
    ++foreignFrees_;
    return;
  }
  std::free(block);
}

#include "failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> gSmallestFailing{static_cast<std::size_t>(-1)};
std::atomic<int> gFailures{0};

// Null when this allocation is one of those that must fail.
void* Allocate(std::size_t size) noexcept {
  if (size >= gSmallestFailing.load()) {
    for (int left = gFailures.load(); left > 0;)
      if (gFailures.compare_exchange_weak(left, left - 1)) return nullptr;
  }
  return std::malloc(size ? size : 1);
}

void* AllocateOrThrow(std::size_t size) {
  if (void* block = Allocate(size)) return block;
  throw std::bad_alloc();
}

}  // namespace

void FailAllocations(std::size_t bytes, int count) {
  gSmallestFailing = bytes;
  gFailures = count;
}

int PendingAllocationFailures() { return gFailures.load(); }

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

#include <new>

#include "host/interface_objects.h"

int32_t gModuleObjectCount = 0;

void* AllocateFromHost(IMoaCalloc* allocator, MoaUlong size) {
  for (;;) {
    if (void* block = allocator->NRAlloc(size)) return block;
    std::new_handler handler = std::get_new_handler();
    if (!handler) return nullptr;
    try {
      handler();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
}

// This program's operator new, which can be told to fail: the Xtra, loaded
// into the program, allocates through it too.
#pragma once

#include <cstddef>

// The next `count` allocations of at least `bytes` bytes, on any thread,
// fail: a throwing new throws std::bad_alloc, a nothrow new answers null.
void FailAllocations(std::size_t bytes, int count);
// Those not failed yet.
int PendingAllocationFailures();

// What the reader pool keeps between opens: each parked thread holds its own
// two events, one to wake it (and stop its reader) and one for its reader's
// reads. Anything else open after a device is closed is left behind.
#pragma once

#include <cstddef>

#include "standin/leaks.h"

constexpr std::size_t kEventsPerParkedThread = 2;

inline bool OnlyParkedThreadsHoldHandles() {
  return standin::OpenHandleCount() == kEventsPerParkedThread * standin::RestingThreadCount();
}

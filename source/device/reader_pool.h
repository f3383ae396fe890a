// The threads that readers run on. Starting and ending a thread costs more
// than a whole open under Wine, so a thread whose reader has ended parks, a
// few at a time, and serves the next open. A parked thread waits on an event
// of its own, costing nothing, and ends when it is not wanted for a while or
// when the last device object goes: no thread outlives the device objects
// it served. Each thread holds the module loaded until its very end.
#pragma once

#include "platform.h"

namespace reader_pool {

using Job = void (*)(void* argument);

// Runs `job` on a parked thread, else on a new one; false, with the last
// error set, when there is neither.
bool Run(Job job, void* argument);

// A device object comes or goes; when the last goes, parked threads end.
void AddOwner();
void RemoveOwner();

// Threads that have not ended, parked or not: the module must stay loaded.
long LiveThreads();

}  // namespace reader_pool

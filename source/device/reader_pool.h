// The threads that readers run on. Starting and ending a thread costs more
// than a whole open under Wine, so a thread whose reader has ended parks, a
// few at a time, and serves the next open. A parked thread waits on an event
// of its own, costing nothing, keeps the events its readers wait with, and
// ends when it is not wanted for a while or when the last device object
// goes, which waits for every thread to end: no thread outlives the device
// objects it served. Each thread holds the module loaded until its very end.
#pragma once

#include "platform.h"

namespace reader_pool {

using Job = void (*)(void* argument);

// The events a job waits with. They are its thread's, made when the thread
// starts and kept while it parks, so that an open makes none: `io`,
// manual-reset, for the job's overlapped I/O, and `stop`, auto-reset, for
// whoever stops the job. Either may be set when the job gets them. They are
// the job's to use until it returns, and no one's after that.
struct Events {
  HANDLE io = nullptr;
  HANDLE stop = nullptr;
};

// Why a job could not run.
enum class Refusal { None, NoIoEvent, NoStopEvent, NoThread };

// Runs `job` on a parked thread, else on a new one, lending it that
// thread's events in `events` before the job can start. When there is
// neither thread, answers why, with the last error set.
Refusal Run(Job job, void* argument, Events& events);

// A device object comes or goes. When the last goes, the parked threads
// end, and RemoveOwner returns once every thread has ended, parked or still
// stopping its reader, or after a second at most. Never called on a thread
// of the pool, nor from DllMain.
void AddOwner();
void RemoveOwner();

// Threads that have not ended, parked or not: the module must stay loaded.
long LiveThreads();

}  // namespace reader_pool

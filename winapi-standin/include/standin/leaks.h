// What the program left behind.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace standin {

// Events, threads, files, device info sets and preparsed data not yet
// closed, destroyed or freed.
std::size_t OpenHandleCount();
// "2 event, 1 file" for failure messages; empty when nothing is open.
std::string DescribeOpenHandles();
// Threads from CreateThread whose start routine has not returned.
std::size_t LiveThreadCount();
// Those of them blocked in a wait of a second or more on one object that
// nothing has signalled yet: threads kept for later work.
std::size_t RestingThreadCount();
// Waits until no live thread is left, for at most `patience`; true if none is.
bool AwaitThreadsEnded(std::chrono::milliseconds patience);
// Threads blocked now, with nothing yet to wake them: in a wait that nothing
// has satisfied, a synchronous read or write, or GetOverlappedResult. A
// test's other thread acts once one is; when every live thread is, none of
// them has anything left to do.
std::size_t BlockedThreadCount();

}  // namespace standin

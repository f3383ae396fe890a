// Makes Windows functions fail on purpose. A fault names the function by its
// Windows name; after `skip` calls go through, the next `times` calls fail
// with last error `error` (HidP_GetCaps and HidP_GetLinkCollectionNodes
// return `error` as their NTSTATUS; fopen, the stand-in's StandinOpenFile,
// sets it as errno).
// A new fault for a function replaces the old one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace standin {

// Throws std::invalid_argument for a name no function of the stand-in checks.
void FailNext(const std::string& function, std::uint32_t error, unsigned skip = 0, unsigned times = 1);
void ClearFaults();
// The functions whose faults have not all fired yet.
std::vector<std::string> PendingFaults();
// Every function that checks for a fault, by name, in alphabetical order.
std::vector<std::string> FallibleFunctions();

// While held, a WaitForMultipleObjects that an object satisfied stops before
// it returns, until the hold ends: a thread caught just after its I/O
// finished, before it could act on it.
void HoldSatisfiedWaits(bool hold);
// How many threads the hold stops now.
std::size_t HeldWaits();

// A rest is a wait of a second or more on one object, which is how a thread
// kept for later work waits (see RestingThreadCount). Every rest under way
// that can run out does so now, as if its time were up.
void EndRests();
// While held, a rest that runs out stops before it returns WAIT_TIMEOUT,
// until the hold ends: a kept thread caught the instant it gives up waiting.
void HoldEndedRests(bool hold);
// How many threads that hold stops now.
std::size_t HeldRests();

// The calling thread's next wait that runs out runs `action` the instant
// it does, before it returns WAIT_TIMEOUT: what a device does just as a
// bounded wait gives up. Once; null forgets an action not yet run.
void AtNextWaitTimeout(std::function<void()> action);

}  // namespace standin

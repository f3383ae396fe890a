// Makes Windows functions fail on purpose. A fault names the function by its
// Windows name; after `skip` calls go through, the next `times` calls fail
// with last error `error` (HidP_GetCaps returns `error` as its NTSTATUS;
// fopen, the stand-in's StandinOpenFile, sets it as errno).
// A new fault for a function replaces the old one.
#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace standin

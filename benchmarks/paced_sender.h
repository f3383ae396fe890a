// A simulated device sending 64-byte reports on a fixed schedule, each
// carrying its sequence number in its first four bytes (least significant
// first), for benchmarks that check every report arrives once and in order.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "standin/control.h"

// The sequence number a report carries.
std::uint32_t SequenceOf(const std::vector<std::uint32_t>& firstFourBytes);
void SendNumbered(standin::DeviceId device, std::uint32_t sequence);

// Sends `count` numbered reports, one each `interval`. A sender thread that
// was not scheduled in time catches up with a burst of at most 2 ms of
// reports and lets the rest of its schedule slip: a real device does not
// stall with the host's threads, so longer bursts (beyond the driver's ring)
// would lose reports to the simulation, not to the Xtra. Answers the
// schedule's slots that slipped.
std::uint32_t SendPaced(standin::DeviceId device, std::uint32_t count, std::chrono::microseconds interval);

// Tallies the sequence numbers that arrive.
class Arrivals {
 public:
  void Note(std::uint32_t sequence) {
    if (sequence > next_) gaps_ += sequence - next_;
    if (sequence < next_) ++outOfOrder_;
    next_ = sequence + 1;
    ++received_;
  }
  std::uint32_t received() const { return received_; }
  // Reports missing between those that came, and those that came again or
  // too late.
  std::uint32_t gaps() const { return gaps_; }
  std::uint32_t outOfOrder() const { return outOfOrder_; }

 private:
  std::uint32_t received_ = 0;
  std::uint32_t next_ = 0;
  std::uint32_t gaps_ = 0;
  std::uint32_t outOfOrder_ = 0;
};

#include "paced_sender.h"

#include <thread>

#include "xtra_session.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kLongestBurst = std::chrono::milliseconds(2);

}  // namespace

std::uint32_t SequenceOf(const std::vector<std::uint32_t>& firstFourBytes) {
  std::uint32_t sequence = 0;
  for (int byte = 3; byte >= 0; --byte) sequence = sequence << 8 | (firstFourBytes[byte] & 0xFF);
  return sequence;
}

void SendNumbered(standin::DeviceId device, std::uint32_t sequence) {
  std::vector<std::uint8_t> report(XtraSession::kReportBytes);
  for (int byte = 0; byte < 4; ++byte) report[byte] = static_cast<std::uint8_t>(sequence >> (8 * byte));
  standin::SendInputReport(device, std::move(report));
}

std::uint32_t SendPaced(standin::DeviceId device, std::uint32_t count, std::chrono::microseconds interval) {
  std::uint32_t slipped = 0;
  auto due = Clock::now();
  for (std::uint32_t sequence = 0; sequence < count; ++sequence, due += interval) {
    std::this_thread::sleep_until(due);
    const auto oldest = Clock::now() - kLongestBurst;
    if (due < oldest) {
      slipped += static_cast<std::uint32_t>((oldest - due) / interval);
      due = oldest;
    }
    SendNumbered(device, sequence);
  }
  return slipped;
}

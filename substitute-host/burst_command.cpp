#include "burst_command.h"

#include <chrono>
#include <thread>

#include "idle_loop.h"
#include "transcript.h"

bool ReadBurst(CommandArguments& arguments, BurstRequest* request) {
  if (!arguments.Bytes("the report", &request->report) ||
      !arguments.Integer("the reports per second", &request->rate) || !arguments.Word("per") ||
      !arguments.Word("second") || !arguments.Word("for") ||
      !arguments.Integer("the duration", &request->milliseconds) || !arguments.Word("ms") || !arguments.End())
    return false;
  if (request->rate <= 0 || request->milliseconds < 0)
    return arguments.Fail("the rate must be positive, the duration not negative");
  return true;
}

void SendBurst(CommandContext& context, const BurstRequest& request, const std::function<bool()>& sendOne) {
  using Clock = std::chrono::steady_clock;
  const long long count = static_cast<long long>(request.rate) * request.milliseconds / 1000;
  const auto interval = std::chrono::nanoseconds(1000000000LL / request.rate);
  const auto start = Clock::now();
  auto nextIdle = start;
  long long refused = 0;
  for (long long sent = 0; sent < count; ++sent) {
    std::this_thread::sleep_until(start + sent * interval);
    if (!sendOne()) ++refused;
    if (Clock::now() >= nextIdle) {
      context.idle.Once();
      nextIdle = Clock::now() + std::chrono::milliseconds(10);
    }
  }
  context.idle.Once();
  context.transcript.Note("sent " + std::to_string(count - refused) + " reports to " + request.name +
                          (refused ? ", " + std::to_string(refused) + " refused" : ""));
}

// Polls until a condition holds, for what another thread does in its own
// time: a reader storing a report, a thread ending, a fault firing.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Long enough for a sanitizer's build on a busy machine; only a failing
// test waits it out.
constexpr std::chrono::milliseconds kEventuallyTimeout = std::chrono::seconds(10);

// True once `condition` holds; false when it still does not after `timeout`.
[[nodiscard]] inline bool Eventually(const std::function<bool()>& condition,
                                     std::chrono::milliseconds timeout = kEventuallyTimeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

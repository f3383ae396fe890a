#include <atomic>
#include <chrono>
#include <thread>

#include "standin/clock.h"
#include "resets.h"
#include "standin/kernel.h"

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point gStart = Clock::now();
// Added to the milliseconds since gStart; unsigned arithmetic gives the wrap.
std::atomic<DWORD> gOffset{0};

DWORD ElapsedMilliseconds() {
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - gStart).count());
}

}  // namespace

extern "C" void WINAPI Sleep(DWORD dwMilliseconds) {
  // Sleep(0) gives up the rest of the time slice; INFINITE is not for tests.
  if (dwMilliseconds == 0) std::this_thread::yield();
  else std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

extern "C" DWORD WINAPI GetTickCount() { return ElapsedMilliseconds() + gOffset.load(); }

void standin::SetTickCount(DWORD now) { gOffset = now - ElapsedMilliseconds(); }

void standin::detail::ResetTickCount() { gOffset = 0; }

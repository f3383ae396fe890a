// Close of an open device that sends nothing, timed call by call through the
// substitute host, at once after the open (the reader thread may not even
// have started) and 25 ms after it (the reader waits in its read). Close
// lets go of the reader without waiting for its thread. Prints the figures;
// exits 1 when a goal is missed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "close_device.h"
#include "director_host.h"
#include "host/method_table.h"
#include "script_instance.h"

using namespace director;

namespace {

constexpr int kCloses = 100;
constexpr double kGoalMs = 0.5;

// Milliseconds of each Close, sorted; empty when an open or Close failed.
std::vector<double> TimeCloses(ScriptInstance& script, const std::string& ids, std::chrono::milliseconds afterOpen) {
  std::vector<double> ms;
  for (int i = 0; i < kCloses; ++i) {
    const std::string opened = script.Call(kSelectorOpenById, ids);
    if (opened != "\"Ok\"") {
      std::fprintf(stderr, "close_latency: OpenById(%s) answered %s\n", ids.c_str(), opened.c_str());
      return {};
    }
    std::this_thread::sleep_for(afterOpen);
    const auto start = std::chrono::steady_clock::now();
    const std::string closed = script.Call(kSelectorClose);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (closed != "\"Ok\"") {
      std::fprintf(stderr, "close_latency: Close answered %s\n", closed.c_str());
      return {};
    }
  }
  std::sort(ms.begin(), ms.end());
  return ms;
}

bool Report(const char* when, const std::vector<double>& ms) {
  const double median = ms[ms.size() / 2];
  const bool met = median <= kGoalMs;
  std::printf("Close %s, %s: median %.3f ms, 90th percentile %.3f ms, max %.3f ms over %d closes  -> goal median "
              "<= %.1f ms: %s\n",
              when, kCloseDeviceName, median, ms[ms.size() * 9 / 10], ms.back(), kCloses, kGoalMs,
              met ? "met" : "MISSED");
  return met;
}

}  // namespace

int main() {
  DirectorHost host;
  if (!host.Load()) {
    std::fprintf(stderr, "close_latency: %s\n", host.error().c_str());
    return 2;
  }
  const std::string ids = PrepareCloseDevice();
  std::vector<double> atOnce;
  std::vector<double> later;
  {
    ScriptInstance script(host);
    script.Call(kSelectorShowErrorsAsDialogs, "0");
    atOnce = TimeCloses(script, ids, std::chrono::milliseconds(0));
    if (!atOnce.empty()) later = TimeCloses(script, ids, std::chrono::milliseconds(25));
    script.Forget();
  }
  if (atOnce.empty() || later.empty()) return 2;
  // The readers end on their own, as Director asks again later.
  host.module().AwaitUnloadable(std::chrono::seconds(5));
  for (const std::string& leak : host.Leaks()) std::fprintf(stderr, "left behind: %s\n", leak.c_str());

  const bool met = Report("right after the open", atOnce);
  return Report("25 ms after the open", later) && met ? 0 : 1;
}

// Close of an open device that sends nothing, timed call by call through the
// substitute host: the reader must end before Close returns, and the median
// must stay under 5 ms. Prints the figures; exits 1 when the goal is missed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "close_device.h"
#include "director_host.h"
#include "host/method_table.h"
#include "script_instance.h"

using namespace director;

namespace {

constexpr int kCloses = 100;
constexpr double kGoalMs = 5.0;

}  // namespace

int main() {
  DirectorHost host;
  if (!host.Load()) {
    std::fprintf(stderr, "close_latency: %s\n", host.error().c_str());
    return 2;
  }
  const std::string ids = PrepareCloseDevice();
  std::vector<double> ms;
  {
    ScriptInstance script(host);
    script.Call(kSelectorShowErrorsAsDialogs, "0");
    for (int i = 0; i < kCloses; ++i) {
      const std::string opened = script.Call(kSelectorOpenById, ids);
      if (opened != "\"Ok\"") {
        std::fprintf(stderr, "close_latency: OpenById(%s) answered %s\n", ids.c_str(), opened.c_str());
        return 2;
      }
      const auto start = std::chrono::steady_clock::now();
      const std::string closed = script.Call(kSelectorClose);
      ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      if (closed != "\"Ok\"") {
        std::fprintf(stderr, "close_latency: Close answered %s\n", closed.c_str());
        return 2;
      }
    }
    script.Forget();
  }
  for (const std::string& leak : host.Leaks()) std::fprintf(stderr, "left behind: %s\n", leak.c_str());

  std::sort(ms.begin(), ms.end());
  const double median = ms[ms.size() / 2];
  std::printf("Close, %s: median %.3f ms, 90th percentile %.3f ms, max %.3f ms over %d closes  -> goal median < %.0f "
              "ms: %s\n",
              kCloseDeviceName, median, ms[ms.size() * 9 / 10], ms.back(), kCloses, kGoalMs,
              median < kGoalMs ? "met" : "MISSED");
  return median < kGoalMs ? 0 : 1;
}

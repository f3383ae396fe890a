// Input reports from the device to the movie, through the real reader: how
// long a report the device sends takes to reach ReadPacket, and whether a
// device sending 1,000 reports a second, read by a movie at 30 frames a
// second, loses or reorders any. Under Wine through Windows' HID class
// driver on a virtual device, natively over the stand-in. Prints each figure
// against its goal; exits 1 when one is missed.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "director_host.h"
#include "host/method_table.h"
#include "opens_device.h"
#include "platform.h"
#include "script_instance.h"

using namespace director;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLatencySamples = 300;
// Half a frame and a frame at 30 frames a second: a report sent during a
// frame is read by the next.
constexpr double kMedianGoalMs = 16.7;
constexpr double kP99GoalMs = 33.3;
constexpr int kRate = 1000;
constexpr int kSeconds = 3;
constexpr int kFrameMs = 33;
// How long the movie goes on reading once the device has sent its last.
constexpr auto kDrainTime = std::chrono::seconds(2);

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

// A whole input report carrying `sequence` after its report ID.
std::vector<uint8_t> Numbered(uint32_t sequence) {
  std::vector<uint8_t> report(64, 0);
  for (int byte = 0; byte < 4; ++byte) report[1 + byte] = static_cast<uint8_t>(sequence >> (8 * byte));
  return report;
}

// The movie's side: ReadPacket as Lingo calls it, and the sequence numbers
// the packets carry.
class Movie {
 public:
  Movie(DirectorHost& host, ScriptInstance& script) : values_(host.values()), script_(script) {}

  // One ReadPacket: false when the buffer was empty.
  bool ReadOne(uint32_t* sequence) {
    MoaMmValue answer = kVoidMoaMmValue;
    script_.CallWithValues(kSelectorReadPacket, {}, &answer);
    const LingoValue* list = values_.Find(answer);
    const bool got = list && list->items.size() >= 5;
    if (got) {
      *sequence = 0;
      for (int byte = 4; byte >= 1; --byte)
        *sequence = *sequence << 8 | static_cast<uint32_t>(values_.Find(list->items[byte])->integer);
    }
    values_.Release(answer);
    return got;
  }

 private:
  LingoValueStore& values_;
  ScriptInstance& script_;
};

// What a latency sample needs: the time from the device's send to the
// ReadPacket that answers it, the movie asking again and again.
struct Latencies {
  std::vector<double> ms;
  int missing = 0;  // never read within a second, or read out of turn
};

Latencies MeasureLatency(const OpensDevice& device, Movie& movie) {
  Latencies result;
  for (uint32_t sample = 0; sample < kLatencySamples; ++sample) {
    const auto sent = Clock::now();
    if (!device.send(Numbered(sample))) {
      ++result.missing;
      continue;
    }
    uint32_t sequence = 0;
    bool read = false;
    while (!(read = movie.ReadOne(&sequence)) && Clock::now() - sent < std::chrono::seconds(1)) Sleep(0);
    if (read && sequence == sample)
      result.ms.push_back(Ms(Clock::now() - sent));
    else
      ++result.missing;
  }
  return result;
}

double Percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const size_t at = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
  return samples[at];
}

// The device's side of the paced run: every report due by now, then a
// millisecond's rest, until all are sent.
struct Pacer {
  const OpensDevice* device;
  Clock::time_point start;
  int refused = 0;
  double tookMs = 0;

  static DWORD WINAPI Run(LPVOID parameter) {
    auto* pacer = static_cast<Pacer*>(parameter);
    const int total = kRate * kSeconds;
    for (int next = 0; next < total;) {
      const auto due = static_cast<int>(Ms(Clock::now() - pacer->start) * kRate / 1000) + 1;
      for (; next < std::min(due, total); ++next)
        if (!pacer->device->send(Numbered(static_cast<uint32_t>(next)))) ++pacer->refused;
      Sleep(1);
    }
    pacer->tookMs = Ms(Clock::now() - pacer->start);
    return 0;
  }
};

struct PacedRun {
  int delivered = 0;
  int lost = 0;        // sent, never read
  int outOfOrder = 0;  // read after a later one
  int refused = 0;     // the device could not send them
  double sendMs = 0;
  double longestFrameMs = 0;  // the longest a frame's reading took
};

PacedRun RunPaced(const OpensDevice& device, Movie& movie) {
  PacedRun run;
  Pacer pacer{&device, Clock::now()};
  HANDLE thread = CreateThread(nullptr, 0, Pacer::Run, &pacer, 0, nullptr);
  if (!thread) return run;
  const int total = kRate * kSeconds;
  uint32_t expected = 0;
  bool sending = true;
  Clock::time_point lastSent = Clock::now();
  // The pacer's count is read only once its thread has ended.
  const auto allRead = [&] { return run.delivered + pacer.refused >= total; };
  for (auto frame = Clock::now(); sending || (!allRead() && Clock::now() - lastSent < kDrainTime);
       frame += std::chrono::milliseconds(kFrameMs)) {
    const auto readStart = Clock::now();
    uint32_t sequence = 0;
    while (movie.ReadOne(&sequence)) {
      ++run.delivered;
      if (sequence < expected) ++run.outOfOrder;
      expected = std::max(expected, sequence + 1);
    }
    run.longestFrameMs = std::max(run.longestFrameMs, Ms(Clock::now() - readStart));
    if (sending && WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) {
      sending = false;
      lastSent = Clock::now();
    }
    const double rest = Ms(frame + std::chrono::milliseconds(kFrameMs) - Clock::now());
    if (rest > 0) Sleep(static_cast<DWORD>(rest));
  }
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  run.refused = pacer.refused;
  run.lost = total - run.refused - run.delivered;
  run.sendMs = pacer.tookMs;
  return run;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

int main() {
  DirectorHost host;
  if (!host.Load()) {
    std::fprintf(stderr, "input: %s\n", host.error().c_str());
    return 2;
  }
  const std::shared_ptr<const OpensDevice> device = PlugOpensDevice();
  if (!device) return 2;
  bool allMet = true;
  {
    ScriptInstance script(host);
    script.Call(kSelectorShowErrorsAsDialogs, "0");
    const std::string opened = script.Call(kSelectorOpenByPath, "\"" + device->path + "\"");
    if (opened != "\"Ok\"") {
      std::fprintf(stderr, "input: OpenByPath answered %s\n", opened.c_str());
      return 2;
    }
    Movie movie(host, script);
    std::printf("Input reports, %s\n", device->name.c_str());

    const Latencies latency = MeasureLatency(*device, movie);
    const double median = Percentile(latency.ms, 0.5);
    const double p99 = Percentile(latency.ms, 0.99);
    const bool latencyMet = latency.missing == 0 && median <= kMedianGoalMs && p99 <= kP99GoalMs;
    allMet = allMet && latencyMet;
    std::printf("%-46s median %6.2f ms -> goal <= %.1f: %s\n", "send to ReadPacket, ReadPacket polling",
                median, kMedianGoalMs, Verdict(median <= kMedianGoalMs));
    std::printf("%-46s p99    %6.2f ms -> goal <= %.1f: %s\n", "", p99, kP99GoalMs, Verdict(p99 <= kP99GoalMs));
    std::printf("%-46s %d of %d -> goal 0: %s\n", "  reports not read within a second", latency.missing,
                kLatencySamples, Verdict(latency.missing == 0));

    const PacedRun run = RunPaced(*device, movie);
    const int total = kRate * kSeconds;
    const bool pacedMet = run.lost == 0 && run.outOfOrder == 0 && run.refused == 0 && run.delivered == total;
    allMet = allMet && pacedMet;
    // The device's own pace, not the Xtra's: a loaded machine slows the
    // sending, which then comes in bursts that the reading must take too.
    std::printf("%-46s %d reports in %.0f ms (%.0f a second; paced at %d)\n", "device sending", total - run.refused,
                run.sendMs, (total - run.refused) / (run.sendMs / 1000), kRate);
    std::printf("%-46s %d delivered, %d lost, %d out of order, %d refused by the device -> goal %d, 0, 0, 0: %s\n",
                "ReadPacket every 33 ms frame", run.delivered, run.lost, run.outOfOrder, run.refused, total,
                Verdict(pacedMet));
    std::printf("%-46s %.2f ms\n", "  longest frame's reading", run.longestFrameMs);
    script.Forget();
  }
  host.module().AwaitUnloadable(std::chrono::seconds(5));
  for (const std::string& leak : host.Leaks()) std::fprintf(stderr, "left behind: %s\n", leak.c_str());
  return allMet ? 0 : 1;
}

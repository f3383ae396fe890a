// The reader thread over the simulated bus: a device paced at 8000 reports a
// second while the movie drains the buffer every frame; how fast the reader
// stores when a report is always waiting; the memory a full buffer takes;
// the CPU an idle or unplugged device's reader uses. Prints its figures;
// exits 1 when a goal is missed.
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "device/input_buffer.h"

#include "paced_sender.h"
#include "xtra_session.h"

using namespace director;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;

constexpr auto kFrame = std::chrono::milliseconds(33);
constexpr int kPacedRate = 8000;
constexpr std::uint32_t kPacedReports = 3 * kPacedRate;
constexpr auto kPacedInterval = std::chrono::microseconds(1000000 / kPacedRate);
constexpr double kWantedCapacity = 10.0 * kPacedRate;
constexpr double kIdleCpuGoalMs = 5.0;
constexpr double kFullBufferMemoryGoal = 1.15;

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

// What the movie has read so far, checked report by report.
class ReadArrivals {
 public:
  explicit ReadArrivals(XtraSession& session) : session_(session) {}

  // One frame's Read (selector 7).
  void Drain() {
    LingoValueStore& values = session_.host().values();
    MoaMmValue result = kVoidMoaMmValue;
    session_.script().CallWithValues(kSelectorRead, {}, &result);
    const LingoValue* list = values.Find(result);
    const size_t count = list ? list->items.size() : 0;
    for (size_t start = 0; start + XtraSession::kReportBytes <= count; start += XtraSession::kReportBytes) {
      std::vector<std::uint32_t> firstFour;
      for (size_t byte = 0; byte < 4; ++byte)
        firstFour.push_back(static_cast<std::uint32_t>(values.Find(list->items[start + byte])->integer));
      tally_.Note(SequenceOf(firstFour));
    }
    values.Release(result);
  }
  // Drains until `sent` reports have come or a second has passed.
  void DrainUntil(std::uint32_t sent) {
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    while (tally_.received() < sent && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      Drain();
    }
  }
  const Arrivals& tally() const { return tally_; }

 private:
  XtraSession& session_;
  Arrivals tally_;
};

bool Paced() {
  XtraSession session;
  ReadArrivals arrivals(session);
  std::atomic<bool> sending{true};
  std::uint32_t slipped = 0;
  const auto start = Clock::now();
  Clock::time_point end;
  std::thread device([&] {
    slipped = SendPaced(session.device(), kPacedReports, kPacedInterval);
    end = Clock::now();
    sending = false;
  });
  while (sending) {
    std::this_thread::sleep_for(kFrame);
    arrivals.Drain();
  }
  device.join();
  arrivals.DrainUntil(kPacedReports);

  const double seconds = duration<double>(end - start).count();
  const Arrivals& tally = arrivals.tally();
  const std::uint32_t lost = kPacedReports - tally.received();
  const bool met = lost == 0 && tally.gaps() == 0 && tally.outOfOrder() == 0;
  std::printf("paced: %u reports sent at %.0f/s over %.2f s (schedule slipped by %u), drained "
              "every 33 ms: %u arrived, %u lost (%zu dropped by the device's ring; %u missing between arrivals, %u "
              "out of order)  -> goal 0 lost: %s\n",
              kPacedReports, kPacedReports / seconds, seconds, slipped, tally.received(), lost,
              standin::DroppedInputReports(session.device()), tally.gaps(), tally.outOfOrder(), Verdict(met));
  return met;
}

// The reader path alone: a report is always waiting, and no sender competes
// with the reader for the two cores. Windows keeps input only for handles
// that are open, at most as many as HidD_SetNumInputBuffers asked for: so the
// reader is held just after its wait is satisfied while its handle's queue
// fills, then let go, and only the time until it has stored them counts. The
// buffer keeps them all (12.8 MB, under the Xtra's 16 MiB bound).
bool Capacity() {
  constexpr std::uint32_t kRound = 512;  // the reader's driver buffers
  constexpr std::uint32_t kRounds = 400;
  XtraSession session;
  session.PlugClosed(kRound);
  session.script().Call(kSelectorOpenById, kBenchDeviceIds);
  const auto storedAll = [&](std::uint32_t count) {
    const std::string all = std::to_string(count);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (session.script().Call(kSelectorNumberOfPacketsInReadBuffer) != all && Clock::now() < deadline)
      std::this_thread::yield();
  };
  double seconds = 0;
  std::uint32_t sequence = 0;
  std::uint32_t round = 0;
  for (std::uint32_t tries = 0; round < kRounds && tries < 4 * kRounds; ++tries) {
    // The reader waits in a read of its own, which the first report ends.
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    while (standin::PendingReadCount(session.device()) == 0 && Clock::now() < deadline) std::this_thread::yield();
    standin::HoldSatisfiedWaits(true);
    SendNumbered(session.device(), sequence++);
    const auto heldBy = Clock::now() + std::chrono::milliseconds(50);
    while (standin::HeldWaits() == 0 && Clock::now() < heldBy) std::this_thread::yield();
    if (standin::HeldWaits() == 0) {
      // The reader took the report before it came to wait: no round.
      standin::HoldSatisfiedWaits(false);
      storedAll(sequence);
      continue;
    }
    for (std::uint32_t i = 1; i < kRound; ++i) SendNumbered(session.device(), sequence++);
    const auto start = Clock::now();
    standin::HoldSatisfiedWaits(false);
    storedAll(sequence);
    seconds += duration<double>(Clock::now() - start).count();
    ++round;
  }
  ReadArrivals arrivals(session);
  // One Read answers at most 64 KB: drain as a movie would, Read after Read.
  while (session.script().Call(kSelectorNumberOfPacketsInReadBuffer) != "0") arrivals.Drain();
  const std::uint32_t timed = round * kRound;
  const double stored = seconds > 0 ? timed / seconds : 0;
  const bool met = round == kRounds && stored >= kWantedCapacity && arrivals.tally().gaps() == 0;
  std::printf("capacity: %u rounds of %u reports waiting in the reader's queue: %u stored in %.3f s = %.0f "
              "reports/s (%u missing)  -> goal >= %.0f/s: %s\n",
              round, kRound, timed, seconds, stored, arrivals.tally().gaps(), kWantedCapacity, Verdict(met));
  return met;
}

// A kB figure of /proc/self/status, such as "VmRSS" or "VmHWM".
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string wanted = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.compare(0, wanted.size(), wanted) == 0) return std::stol(line.substr(wanted.size()));
  return -1;
}

// The process's resident peak from now on: Linux restarts it on request.
bool RestartPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear);
}

// What a full buffer costs: the growth of the process's resident peak while
// the reader fills the buffer to its bound, against the bytes it then holds.
bool FullBufferMemory() {
  constexpr int kReports = static_cast<int>(InputBuffer::kMaxBytes / XtraSession::kReportBytes);
  XtraSession session(512);
  if (!RestartPeakMemory()) {
    std::printf("full buffer: /proc/self/clear_refs cannot be written, no figure  -> goal: MISSED\n");
    return false;
  }
  const long before = StatusKb("VmRSS");
  session.Feed(kReports);
  const double peak = static_cast<double>(StatusKb("VmHWM") - before) * 1024.0;
  const double held = std::stod(session.script().Call(kSelectorNumberOfItemsInReadBuffer));
  const double ratio = peak / held;
  const bool met = ratio <= kFullBufferMemoryGoal;
  std::printf("full buffer: %.0f bytes of %d-byte reports held; resident peak grew by %.0f bytes while filling = "
              "%.3f x the bytes held  -> goal <= %.2f x: %s\n",
              held, XtraSession::kReportBytes, peak, ratio, kFullBufferMemoryGoal, Verdict(met));
  return met;
}

double ProcessCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The whole process's CPU over one second in which only the reader could run.
bool IdleCpu(const char* what, bool unplug) {
  XtraSession session;
  if (unplug) standin::Unplug(session.device());
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const double before = ProcessCpuMs();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const double used = ProcessCpuMs() - before;
  const bool met = used < kIdleCpuGoalMs;
  std::printf("idle CPU, %s: %.2f ms in 1 s, reader threads alive: %zu  -> goal about 0 (< %.0f ms): %s\n", what,
              used, standin::LiveThreadCount(), kIdleCpuGoalMs, Verdict(met));
  return met;
}

void PrintLoad() {
  std::ifstream load("/proc/loadavg");
  std::string text;
  if (std::getline(load, text)) std::printf("load average: %s\n", text.c_str());
}

}  // namespace

int main() {
  std::printf("Reader benchmarks (2 shared cores: figures vary from run to run)\n");
  PrintLoad();
  // The device's ring is as the open leaves it: 512 reports, which the Xtra
  // asks the driver for (HidD_SetNumInputBuffers).
  // First: the resident peak of the process is measured from a low point.
  bool met = FullBufferMemory();
  met = Paced() && met;
  met = Capacity() && met;
  met = IdleCpu("unplugged device", true) && met;
  met = IdleCpu("open device sending nothing", false) && met;
  return met ? 0 : 1;
}

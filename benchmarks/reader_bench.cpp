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

#include "xtra_session.h"

using namespace director;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;

constexpr auto kFrame = std::chrono::milliseconds(33);
constexpr int kPacedRate = 8000;
constexpr std::uint32_t kPacedReports = 3 * kPacedRate;
constexpr auto kPacedInterval = std::chrono::microseconds(1000000 / kPacedRate);
constexpr auto kLongestBurst = std::chrono::milliseconds(2);
constexpr double kWantedCapacity = 10.0 * kPacedRate;
constexpr double kIdleCpuGoalMs = 5.0;
constexpr double kFullBufferMemoryGoal = 1.15;

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

// What the movie has read so far, checked report by report: each carries its
// sequence number in its first four bytes.
class Arrivals {
 public:
  explicit Arrivals(XtraSession& session) : session_(session) {}

  // One frame's Read (selector 7).
  void Drain() {
    LingoValueStore& values = session_.host().values();
    MoaMmValue result = kVoidMoaMmValue;
    session_.script().CallWithValues(kSelectorRead, {}, &result);
    const LingoValue* list = values.Find(result);
    const size_t count = list ? list->items.size() : 0;
    for (size_t start = 0; start + XtraSession::kReportBytes <= count; start += XtraSession::kReportBytes) {
      std::uint32_t sequence = 0;
      for (int byte = 3; byte >= 0; --byte)
        sequence = sequence << 8 | static_cast<std::uint32_t>(values.Find(list->items[start + byte])->integer);
      if (sequence > next_) gaps_ += sequence - next_;
      if (sequence < next_) ++outOfOrder_;
      next_ = sequence + 1;
      ++received_;
    }
    values.Release(result);
  }
  // Drains until `sent` reports have come or a second has passed.
  void DrainUntil(std::uint32_t sent) {
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    while (received_ < sent && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      Drain();
    }
  }
  std::uint32_t received() const { return received_; }
  // Reports missing between those that came, and those that came too late.
  std::uint32_t gaps() const { return gaps_; }
  std::uint32_t outOfOrder() const { return outOfOrder_; }

 private:
  XtraSession& session_;
  std::uint32_t received_ = 0;
  std::uint32_t next_ = 0;
  std::uint32_t gaps_ = 0;
  std::uint32_t outOfOrder_ = 0;
};

void Send(standin::DeviceId device, std::uint32_t sequence) {
  std::vector<std::uint8_t> report(XtraSession::kReportBytes);
  for (int byte = 0; byte < 4; ++byte) report[byte] = static_cast<std::uint8_t>(sequence >> (8 * byte));
  standin::SendInputReport(device, std::move(report));
}

// Sends on a fixed schedule. A sender thread that was not scheduled in time
// catches up with a burst of at most 2 ms of reports and lets the rest of its
// schedule slip: a real device does not stall with the host's threads, so
// longer bursts (beyond the driver's ring) would lose reports to the simulation,
// not to the reader. Answers the schedule's slots that slipped.
std::uint32_t SendPaced(standin::DeviceId device) {
  std::uint32_t slipped = 0;
  auto due = Clock::now();
  for (std::uint32_t sequence = 0; sequence < kPacedReports; ++sequence, due += kPacedInterval) {
    std::this_thread::sleep_until(due);
    const auto oldest = Clock::now() - kLongestBurst;
    if (due < oldest) {
      slipped += static_cast<std::uint32_t>((oldest - due) / kPacedInterval);
      due = oldest;
    }
    Send(device, sequence);
  }
  return slipped;
}

bool Paced() {
  XtraSession session;
  Arrivals arrivals(session);
  std::atomic<bool> sending{true};
  std::uint32_t slipped = 0;
  const auto start = Clock::now();
  Clock::time_point end;
  std::thread device([&] {
    slipped = SendPaced(session.device());
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
  const std::uint32_t lost = kPacedReports - arrivals.received();
  const bool met = lost == 0 && arrivals.gaps() == 0 && arrivals.outOfOrder() == 0;
  std::printf("paced: %u reports sent at %.0f/s over %.2f s (schedule slipped by %u), drained "
              "every 33 ms: %u arrived, %u lost (%zu dropped by the device's ring; %u missing between arrivals, %u "
              "out of order)  -> goal 0 lost: %s\n",
              kPacedReports, kPacedReports / seconds, seconds, slipped, arrivals.received(), lost,
              standin::DroppedInputReports(session.device()), arrivals.gaps(), arrivals.outOfOrder(), Verdict(met));
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
    Send(session.device(), sequence++);
    const auto heldBy = Clock::now() + std::chrono::milliseconds(50);
    while (standin::HeldWaits() == 0 && Clock::now() < heldBy) std::this_thread::yield();
    if (standin::HeldWaits() == 0) {
      // The reader took the report before it came to wait: no round.
      standin::HoldSatisfiedWaits(false);
      storedAll(sequence);
      continue;
    }
    for (std::uint32_t i = 1; i < kRound; ++i) Send(session.device(), sequence++);
    const auto start = Clock::now();
    standin::HoldSatisfiedWaits(false);
    storedAll(sequence);
    seconds += duration<double>(Clock::now() - start).count();
    ++round;
  }
  Arrivals arrivals(session);
  // One Read answers at most 64 KB: drain as a movie would, Read after Read.
  while (session.script().Call(kSelectorNumberOfPacketsInReadBuffer) != "0") arrivals.Drain();
  const std::uint32_t timed = round * kRound;
  const double stored = seconds > 0 ? timed / seconds : 0;
  const bool met = round == kRounds && stored >= kWantedCapacity && arrivals.gaps() == 0;
  std::printf("capacity: %u rounds of %u reports waiting in the reader's queue: %u stored in %.3f s = %.0f "
              "reports/s (%u missing)  -> goal >= %.0f/s: %s\n",
              round, kRound, timed, seconds, stored, arrivals.gaps(), kWantedCapacity, Verdict(met));
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

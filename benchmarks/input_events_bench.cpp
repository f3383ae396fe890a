// Input as events over the simulated bus, with the host idling 30 times a
// second as a running movie does: a device paced at 8000 reports a second
// for 3 s heard in #reports mode (every report once, in order), and a game
// pad sending 1000 reports a second with one axis moving heard in #changes
// mode (one call per idle, naming only that axis). Prints its figures;
// exits 1 when a goal is missed.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "paced_sender.h"
#include "xtra_session.h"

using namespace director;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;

constexpr auto kIdleInterval = std::chrono::microseconds(1000000 / 30);
constexpr std::uint32_t kPacedRate = 8000;
constexpr std::uint32_t kPacedReports = 3 * kPacedRate;
constexpr std::uint32_t kPadRate = 1000;
constexpr std::uint32_t kPadReports = 3 * kPadRate;
// After the device stops, what is still buffered has this long to come.
constexpr auto kDrainTime = std::chrono::seconds(2);

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

int Integer(LingoValueStore& values, MoaMmValue value) {
  const LingoValue* found = values.Find(value);
  return found ? static_cast<int>(found->integer) : -1;
}

std::string KeyName(LingoValueStore& values, MoaMmValue key) {
  const LingoValue* symbol = values.Find(key);
  const std::string* name = symbol ? values.SymbolName(static_cast<MoaMmSymbol>(symbol->integer)) : nullptr;
  return name ? *name : "?";
}

// One property of a property list, by name (-1 when it lacks it).
int Property(LingoValueStore& values, MoaMmValue list, const char* name) {
  const LingoValue* found = values.Find(list);
  if (!found) return -1;
  for (size_t i = 0; i < found->items.size() && i < found->keys.size(); ++i)
    if (KeyName(values, found->keys[i]) == name) return Integer(values, found->items[i]);
  return -1;
}

// Idles 30 times a second while `sending`, then until `done` holds or the
// drain time has passed; answers the idles made after the device stopped.
int IdleWhile(XtraSession& session, const std::atomic<bool>& sending, const std::function<bool()>& done) {
  auto due = Clock::now();
  while (sending) {
    std::this_thread::sleep_until(due += kIdleInterval);
    session.host().notification().NotifyAll();
  }
  int after = 0;
  const auto deadline = Clock::now() + kDrainTime;
  while (!done() && Clock::now() < deadline) {
    std::this_thread::sleep_until(due += kIdleInterval);
    session.host().notification().NotifyAll();
    ++after;
  }
  return after;
}

bool PacedReports() {
  XtraSession session;
  LingoValueStore& values = session.host().values();
  session.host().player().RecordArguments(false);
  Arrivals arrivals;
  int calls = 0;
  std::uint32_t told = 0;
  std::uint32_t dropped = 0;
  session.host().player().Define("padInput", [&](const std::vector<MoaMmValue>& arguments) {
    ++calls;
    for (const MoaMmValue& report : values.Find(arguments[1])->items) {
      const LingoValue* bytes = values.Find(report);
      std::vector<std::uint32_t> firstFour;
      for (size_t byte = 0; byte < 4; ++byte)
        firstFour.push_back(static_cast<std::uint32_t>(Integer(values, bytes->items[byte])));
      arrivals.Note(SequenceOf(firstFour));
    }
    told += static_cast<std::uint32_t>(Property(values, arguments[2], "Reports"));
    dropped += static_cast<std::uint32_t>(Property(values, arguments[2], "Dropped"));
    return kVoidMoaMmValue;
  });
  session.script().Call(kSelectorSetInputHandler, "\"padInput\"");
  std::atomic<bool> sending{true};
  std::uint32_t slipped = 0;
  const auto start = Clock::now();
  Clock::time_point end;
  std::thread device([&] {
    slipped = SendPaced(session.device(), kPacedReports, std::chrono::microseconds(1000000 / kPacedRate));
    end = Clock::now();
    sending = false;
  });
  const int after = IdleWhile(session, sending, [&] { return arrivals.received() >= kPacedReports; });
  device.join();

  const double seconds = duration<double>(end - start).count();
  const std::uint32_t lost = kPacedReports - arrivals.received();
  const bool met = lost == 0 && arrivals.gaps() == 0 && arrivals.outOfOrder() == 0 && told == kPacedReports;
  std::printf("#reports: %u reports sent at %.0f/s over %.2f s (schedule slipped by %u), idling 30 times a second: "
              "%u delivered in %d calls (%d idles after the device stopped), %u lost (%u told dropped; %u missing "
              "between arrivals, %u twice or out of order)  -> goal %u delivered, in order, none twice: %s\n",
              kPacedReports, kPacedReports / seconds, seconds, slipped, arrivals.received(), calls, after, lost,
              dropped, arrivals.gaps(), arrivals.outOfOrder(), kPacedReports, Verdict(met));
  return met;
}

// A game pad's report with its X axis at `x`, everything else at rest.
std::vector<std::uint8_t> PadReport(int x) {
  std::vector<std::uint8_t> report(XtraSession::kReportBytes);
  report[3] = static_cast<std::uint8_t>(x);
  report[4] = static_cast<std::uint8_t>(x >> 8);
  return report;
}

bool ChangesOfOneAxis() {
  XtraSession session;
  const standin::DeviceId pad = OpenGamepad(session);
  LingoValueStore& values = session.host().values();
  session.host().player().RecordArguments(false);
  int calls = 0;
  int callsThisIdle = 0;
  int mostCallsInAnIdle = 0;
  int callsNamingOthers = 0;
  int callsWithoutX = 0;
  std::uint32_t told = 0;
  std::set<std::string> othersNamed;
  session.host().player().Define("padChanged", [&](const std::vector<MoaMmValue>& arguments) {
    ++callsThisIdle;
    told += static_cast<std::uint32_t>(Property(values, arguments[2], "Reports"));
    // The first call tells every control.
    if (calls++ == 0) return kVoidMoaMmValue;
    const LingoValue* changed = values.Find(arguments[1]);
    bool others = false;
    for (const MoaMmValue& key : changed->keys) {
      const std::string name = KeyName(values, key);
      if (name == "X") continue;
      others = true;
      othersNamed.insert(name);
    }
    callsNamingOthers += others ? 1 : 0;
    callsWithoutX += Property(values, arguments[1], "X") == -1 ? 1 : 0;
    return kVoidMoaMmValue;
  });
  session.script().Call(kSelectorSetInputHandler, "\"padChanged\", #changes");
  // Sent from this thread between the idles, so that every idle has news.
  std::uint32_t sent = 0;
  int idles = 0;
  auto due = Clock::now();
  const auto start = due;
  while (sent < kPadReports) {
    std::this_thread::sleep_until(due += kIdleInterval);
    const auto owed = static_cast<std::uint32_t>(duration<double>(Clock::now() - start).count() * kPadRate);
    for (; sent < owed && sent < kPadReports; ++sent)
      standin::SendInputReport(pad, PadReport(static_cast<int>(sent % 20000)));
    std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the reader stores them
    callsThisIdle = 0;
    session.host().notification().NotifyAll();
    ++idles;
    if (callsThisIdle > mostCallsInAnIdle) mostCallsInAnIdle = callsThisIdle;
  }
  std::atomic<bool> stopped{false};
  IdleWhile(session, stopped, [&] { return told >= kPadReports; });

  std::string others;
  for (const std::string& name : othersNamed) others += " #" + name;
  const bool met = mostCallsInAnIdle == 1 && calls == idles && callsNamingOthers == 0 && callsWithoutX == 0 &&
                   told == kPadReports;
  std::printf("#changes: a game pad sending %u reports/s for 3 s with X moving, idling 30 times a second: %d calls in "
              "%d idles (at most %d in one idle), %u reports told; calls naming another control: %d%s, without X: "
              "%d  -> goal one call per idle, only #X: %s\n",
              kPadRate, calls, idles, mostCallsInAnIdle, told, callsNamingOthers, others.c_str(), callsWithoutX,
              Verdict(met));
  return met;
}

}  // namespace

int main() {
  std::printf("Input as events (2 shared cores: figures vary from run to run)\n");
  bool met = PacedReports();
  met = ChangesOfOneAxis() && met;
  return met ? 0 : 1;
}

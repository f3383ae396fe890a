// Opens, listings and report requests of the Xtra, each timed side by side
// with the bare calls an application makes for the same thing, alternately,
// on the same device, as Director calls them. Prints each ratio of medians
// against its goal; exits 1 when a goal is missed. Natively over the
// stand-in; under Wine through Windows' HID class driver, where it also
// tells what an open device costs in memory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bare_calls.h"
#include "director_host.h"
#include "host_list_work.h"
#include "host/method_table.h"
#include "opens_device.h"
#include "script_instance.h"

using namespace director;

namespace {

constexpr int kSamples = 300;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

// Times `xtra` and `bare` alternately, each followed by its untimed undo.
struct SideBySide {
  double xtraMs;
  double bareMs;
};
SideBySide Alternate(const std::function<void()>& xtra, const std::function<void()>& undoXtra,
                     const std::function<void()>& bareCall, const std::function<void()>& undoBare) {
  std::vector<double> xtraSamples, bareSamples;
  for (int i = 0; i < kSamples; ++i) {
    auto start = Clock::now();
    xtra();
    xtraSamples.push_back(Ms(Clock::now() - start));
    undoXtra();
    start = Clock::now();
    bareCall();
    bareSamples.push_back(Ms(Clock::now() - start));
    undoBare();
  }
  return {Median(xtraSamples), Median(bareSamples)};
}

bool gAllMet = true;

// The goals hold the Xtra against real system calls. The stand-in's cost
// next to nothing, so natively the figures only show the Xtra's own work.
#ifdef _WIN32
constexpr bool kGoalsApply = true;
#else
constexpr bool kGoalsApply = false;
#endif

// `ratio` against `goal`: at most, or at least when `atLeast`.
void Report(const char* figure, double xtraMs, double bareMs, double ratio, double goal, bool atLeast = false) {
  const bool met = atLeast ? ratio >= goal : ratio <= goal;
  if (kGoalsApply) gAllMet = gAllMet && met;
  std::printf("%-46s Xtra %8.3f ms, bare %8.3f ms: %5.2f  -> goal %s %.2f: %s\n", figure, xtraMs, bareMs, ratio,
              atLeast ? ">=" : "<=", goal, !kGoalsApply ? "- (stand-in)" : met ? "met" : "MISSED");
}

void ReportTimes(const char* figure, const SideBySide& times, double goal) {
  Report(figure, times.xtraMs, times.bareMs, times.xtraMs / times.bareMs, goal);
}

void Expect(const std::string& answer, const char* what) {
  if (answer.rfind("\"Error", 0) == 0 || answer.rfind("<Error", 0) == 0)
    std::fprintf(stderr, "opens: %s answered %s\n", what, answer.c_str());
}

// Open and close cycles for about a second each way: cycles per second.
double CyclesPerSecond(const std::function<void()>& cycle) {
  int cycles = 0;
  const auto start = Clock::now();
  while (Clock::now() - start < std::chrono::seconds(1)) {
    cycle();
    ++cycles;
  }
  return cycles / (Ms(Clock::now() - start) / 1000);
}

// Calls with arguments made once, their answers dropped: what the host adds
// to a call is then little beside what the Xtra does.
class Caller {
 public:
  Caller(DirectorHost& host, ScriptInstance& script) : host_(host), script_(script) {}
  ~Caller() {
    for (const MoaMmValue& value : made_) host_.values().Release(value);
  }
  MoaMmValue Integer(MoaLong number) { return Keep(host_.values().Integer(number)); }
  MoaMmValue String(const std::string& text) { return Keep(host_.values().String(text)); }
  std::function<void()> Call(MoaLong selector, std::vector<MoaMmValue> arguments = {}) {
    return [this, selector, arguments] {
      MoaMmValue answer;
      script_.CallWithValues(selector, arguments, &answer);
      host_.values().Release(answer);
    };
  }

 private:
  MoaMmValue Keep(MoaMmValue value) {
    made_.push_back(value);
    return value;
  }
  DirectorHost& host_;
  ScriptInstance& script_;
  std::vector<MoaMmValue> made_;
};

}  // namespace

#ifdef _WIN32
#include <psapi.h>

namespace {

// What `count` more objects, each with the device open and its reader
// waiting, add to the working set, per object.
void ReportMemoryPerOpenDevice(DirectorHost& host, const OpensDevice& device) {
  constexpr int kObjects = 16;
  const auto workingSet = [] {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.WorkingSetSize);
  };
  std::vector<std::unique_ptr<ScriptInstance>> objects;
  for (int i = 0; i < kObjects; ++i) objects.push_back(std::make_unique<ScriptInstance>(host));
  Sleep(100);
  const double before = workingSet();
  for (auto& object : objects) Expect(object->Call(kSelectorOpenByPath, "\"" + device.path + "\""), "OpenByPath");
  Sleep(100);
  const double after = workingSet();
  for (auto& object : objects) object->Forget();
  std::printf("%-46s %.0f KB per open device (%d objects)\n", "memory of an open device (working set)",
              (after - before) / 1024 / kObjects, kObjects);
}

}  // namespace
#else
namespace {
void ReportMemoryPerOpenDevice(DirectorHost&, const OpensDevice&) {
  std::printf("%-46s - (the stand-in's threads are not Windows')\n", "memory of an open device (working set)");
}
}  // namespace
#endif

int main() {
  DirectorHost host;
  if (!host.Load()) {
    std::fprintf(stderr, "opens: %s\n", host.error().c_str());
    return 2;
  }
  const std::shared_ptr<const OpensDevice> device = PlugOpensDevice();
  if (!device) return 2;
  std::printf("Opens and listings, %s: medians of %d, alternately\n", device->name.c_str(), kSamples);
  {
    ScriptInstance script(host);
    script.Call(kSelectorShowErrorsAsDialogs, "0");
    Caller xtra(host, script);
    const auto openById = xtra.Call(kSelectorOpenById, {xtra.Integer(device->vendorId), xtra.Integer(device->productId)});
    const auto openByName = xtra.Call(kSelectorOpenByProductName, {xtra.String(device->product)});
    const auto openByPath = xtra.Call(kSelectorOpenByPath, {xtra.String(device->path)});
    const auto close = xtra.Call(kSelectorClose);
    const auto nothing = [] {};
    std::unique_ptr<bare::OpenDevice> bareOpen;
    const auto bareClose = [&] { bareOpen.reset(); };
    const auto opensBare = [&](std::function<bool(bare::OpenDevice&)> open) {
      return [&bareOpen, open] {
        bareOpen = std::make_unique<bare::OpenDevice>();
        if (!open(*bareOpen)) std::fprintf(stderr, "opens: a bare open failed\n");
      };
    };

    openById();
    Expect(script.Call(kSelectorGetStatus), "the first open");
    close();
    const SideBySide hostCall = Alternate(xtra.Call(kSelectorIsOpen), nothing, nothing, nothing);
    std::printf("%-46s %.4f ms (IsOpen through the substitute host)\n", "a call's own cost", hostCall.xtraMs);

    ReportTimes("OpenById / walk and open",
                Alternate(openById, close, opensBare([&](bare::OpenDevice& open) {
                            return bare::OpenFirst(device->vendorId, device->productId, "", open);
                          }),
                          bareClose),
                1.3);
    ReportTimes("OpenByProductName / walk and open",
                Alternate(openByName, close,
                          opensBare([&](bare::OpenDevice& open) { return bare::OpenFirst(0, 0, device->product, open); }),
                          bareClose),
                1.3);
    ReportTimes("OpenByPath / open by path",
                Alternate(openByPath, close,
                          opensBare([&](bare::OpenDevice& open) { return bare::OpenPath(device->path, open); }),
                          bareClose),
                1.3);
    const double xtraCycles = CyclesPerSecond([&] {
      openByPath();
      close();
    });
    const double bareCycles = CyclesPerSecond([&] {
      bare::OpenDevice open;
      bare::OpenPath(device->path, open);
    });
    Report("open + close cycles per second", 1000 / xtraCycles, 1000 / bareCycles, xtraCycles / bareCycles, 0.8,
           true);

    openByPath();
    bare::OpenDevice open;
    bare::OpenPath(device->path, open);
    bare::ReportRequest request;
    // Director's making of the 64-value answer is no part of the request:
    // its median is taken off the Xtra's.
    HostListWork hostWork(host);
    const uint8_t report[64] = {};
    const double answerMs = Alternate([&] { hostWork.BuildAndRelease(report, 64); }, nothing, nothing, nothing).xtraMs;
    std::printf("%-46s %.4f ms\n", "the host's making of a 64-value answer", answerMs);
    const auto reportRequest = [&](const char* figure, MoaLong selector, DWORD code) {
      const SideBySide times = Alternate(xtra.Call(selector, {xtra.Integer(0)}), nothing,
                                         [&] { request.Get(open.device, code, 0, 64); }, nothing);
      Report(figure, times.xtraMs - answerMs, times.bareMs, (times.xtraMs - answerMs) / times.bareMs, 1.3);
    };
    reportRequest("GetInputReport - answer / DeviceIoControl", kSelectorGetInputReport, IOCTL_HID_GET_INPUT_REPORT);
    reportRequest("GetFeatureReport - answer / DeviceIoControl", kSelectorGetFeatureReport, IOCTL_HID_GET_FEATURE);
    close();

    // A new object knows nothing of the collections yet; the same object
    // listing again knows what they told.
    std::unique_ptr<ScriptInstance> fresh;
    const auto freshObject = [&] { fresh = std::make_unique<ScriptInstance>(host); };
    const auto freshCall = [&](MoaLong selector) {
      return [&fresh, &host, selector] {
        MoaMmValue answer;
        fresh->CallWithValues(selector, {}, &answer);
        host.values().Release(answer);
      };
    };
    freshObject();
    ReportTimes("FindUsbDevices / walk reading ids and strings",
                Alternate(freshCall(kSelectorFindUsbDevices), freshObject,
                          [] { bare::Walk(bare::Reading::IdsAndStrings); }, nothing),
                1.2);
    ReportTimes("FindHidDevices / walk reading all it tells",
                Alternate(freshCall(kSelectorFindHidDevices), freshObject,
                          [] { bare::Walk(bare::Reading::IdsStringsAndCaps); }, nothing),
                1.2);
    ReportTimes("FindHidDevices again / walk reading all",
                Alternate(xtra.Call(kSelectorFindHidDevices), nothing,
                          [] { bare::Walk(bare::Reading::IdsStringsAndCaps); }, nothing),
                0.5);
    fresh.reset();
    script.Forget();
  }
  ReportMemoryPerOpenDevice(host, *device);
  host.module().AwaitUnloadable(std::chrono::seconds(5));
  for (const std::string& leak : host.Leaks()) std::fprintf(stderr, "left behind: %s\n", leak.c_str());
  return gAllMet ? 0 : 1;
}

// One idle's input call handing the movie 256 buffered 64-byte reports, a
// list of each, against Read answering the same 256 reports in the same run.
// The reports are sent and stored with the timer stopped.
#include <benchmark/benchmark.h>

#include <vector>

#include "ratio_goals.h"
#include "xtra_session.h"

using namespace director;

namespace {

constexpr int kReports = 256;

// Items of a list value (0 for anything else).
long CountOf(LingoValueStore& values, MoaMmValue list) {
  const LingoValue* found = values.Find(list);
  return found ? static_cast<long>(found->items.size()) : 0;
}

void BM_InputCall256(benchmark::State& state) {
  XtraSession session(kReports);
  LingoValueStore& values = session.host().values();
  session.host().player().RecordArguments(false);
  long delivered = 0;
  session.host().player().Define("padInput", [&](const std::vector<MoaMmValue>& arguments) {
    delivered += CountOf(values, arguments[1]);
    return kVoidMoaMmValue;
  });
  session.script().Call(kSelectorSetInputHandler, "\"padInput\"");
  for (auto _ : state) {
    state.PauseTiming();
    session.Feed(kReports);
    state.ResumeTiming();
    session.host().notification().NotifyAll();
  }
  if (delivered != static_cast<long>(state.iterations()) * kReports)
    state.SkipWithError("an idle delivered other than 256 reports");
}
BENCHMARK(BM_InputCall256)->MinTime(0.2)->ComputeStatistics(kBest, Best);

void BM_Read256(benchmark::State& state) {
  XtraSession session(kReports);
  long bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    session.Feed(kReports);
    state.ResumeTiming();
    bytes += session.CallForCount(kSelectorRead);
  }
  if (bytes != static_cast<long>(state.iterations()) * kReports * XtraSession::kReportBytes)
    state.SkipWithError("a Read answered other than 256 reports");
}
BENCHMARK(BM_Read256)->MinTime(0.2)->ComputeStatistics(kBest, Best);

const bool kInputCallGoal = AddRatioGoal({"input call (256 reports of 64 bytes, a list each) / Read of the same",
                                          "BM_InputCall256", nullptr, "BM_Read256", 1.5});

}  // namespace

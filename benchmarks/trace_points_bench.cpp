// The trace points on the call path. With tracing off, ReadPacket (8) and
// ReadReport (9) run the same handler and differ only in ReadPacket's two
// trace entries, so their difference is what those trace checks cost a
// call. On an empty buffer the calls are short enough for it to show.
#include <benchmark/benchmark.h>
#include <time.h>

#include "buffered_reads.h"
#include "ratio_goals.h"

using namespace director;

namespace {

// Outside the selector table: only Call's frame runs.
constexpr MoaLong kNoMethod = 99;
// Four flow callbacks per traced call: 20 calls stay within the 100 slots.
constexpr int kTracedCallsBetweenIdles = 20;

void CallRepeatedly(benchmark::State& state, MoaLong selector) {
  XtraSession session;
  for (auto _ : state) session.Call(selector);
}

void BM_FrameOnly(benchmark::State& state) { CallRepeatedly(state, kNoMethod); }
BENCHMARK(BM_FrameOnly)->MinTime(0.1)->ComputeStatistics(kBest, Best);

void BM_IsOpen(benchmark::State& state) { CallRepeatedly(state, kSelectorIsOpen); }
BENCHMARK(BM_IsOpen)->MinTime(0.1)->ComputeStatistics(kBest, Best);

constexpr int kCallsPerBlock = 1000;

double ThreadCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

double TimeBlock(XtraSession& session, MoaLong selector) {
  const double start = ThreadCpuNs();
  for (int i = 0; i < kCallsPerBlock; ++i) session.Call(selector);
  return ThreadCpuNs() - start;
}

// Blocks of ReadPacket and ReadReport calls on an empty buffer alternate, so
// that both meet the same load on the shared machine; each counter is the
// CPU time of one call.
void BM_TraceChecksPaired(benchmark::State& state) {
  XtraSession session;
  double withTrace = 0;
  double withoutTrace = 0;
  for (auto _ : state) {
    withTrace += TimeBlock(session, kSelectorReadPacket);
    withoutTrace += TimeBlock(session, kSelectorReadReport);
  }
  const double calls = static_cast<double>(state.iterations()) * kCallsPerBlock;
  state.counters["ReadPacket"] = withTrace / calls;
  state.counters["ReadReport"] = withoutTrace / calls;
}
BENCHMARK(BM_TraceChecksPaired)->MinTime(0.1)->ComputeStatistics(kBest, Best);

// The host's idle delivers the queued callbacks between stretches of calls,
// with the timer stopped; the player records every handler call, so a run
// keeps to a fixed count.
void BM_ReadPacketTraced(benchmark::State& state) {
  XtraSession session(kReportsPerBatch);
  session.script().Call(kSelectorPrivateInstance, "2, 1, 25");
  DirectorHost& host = session.host();
  TimeBufferedReads(state, session, kSelectorReadPacket, kTracedCallsBetweenIdles, [&host] {
    host.notification().NotifyAll();
    standin::ClearRecords();
  });
  host.notification().NotifyAll();
  if (host.player().calls().size() < 4 * static_cast<size_t>(state.iterations()))
    state.SkipWithError("fewer flow callbacks than four per call");
}
BENCHMARK(BM_ReadPacketTraced)->Iterations(20000)->ComputeStatistics(kBest, Best);

constexpr char kPairedReadPacket[] = "BM_TraceChecksPaired/ReadPacket";
constexpr char kPairedReadReport[] = "BM_TraceChecksPaired/ReadReport";
const bool kReadPacketGoal = AddRatioGoal({"trace checks off: (ReadPacket - ReadReport) / ReadReport, empty",
                                           kPairedReadPacket, kPairedReadReport, kPairedReadReport, 0.05});
const bool kIsOpenGoal = AddRatioGoal({"trace checks off: (ReadPacket - ReadReport), empty / IsOpen",
                                       kPairedReadPacket, kPairedReadReport, "BM_IsOpen", 0.05});
const bool kTracedFigure = AddRatioGoal(
    {"ReadPacket (64 bytes), tracing on / off", "BM_ReadPacketTraced", nullptr, "BM_ReadPacket", 0});

}  // namespace

// The call path: a script's ReadPacket and Write through Call, each against
// the host's own work on the same 64 values in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "buffered_reads.h"
#include "host_list_work.h"
#include "ratio_goals.h"

using namespace director;

namespace {

// About 6.5 MB of output reports recorded by the stand-in before a fresh device.
constexpr int kWritesPerDevice = 1 << 16;

std::vector<std::uint8_t> Payload() {
  std::vector<std::uint8_t> bytes(XtraSession::kReportBytes);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

MoaMmValue MakeList(LingoValueStore& values, const std::vector<std::uint8_t>& bytes) {
  const MoaMmValue list = values.List();
  for (std::uint8_t byte : bytes) {
    const MoaMmValue item = values.Integer(byte);
    values.Append(list, item);
    values.Release(item);
  }
  return list;
}

void BM_ReadPacket(benchmark::State& state) {
  XtraSession session(kReportsPerBatch);
  TimeBufferedReads(state, session, kSelectorReadPacket);
}
BENCHMARK(BM_ReadPacket)->MinTime(0.1)->ComputeStatistics(kBest, Best);

void BM_HostBuildsList(benchmark::State& state) {
  XtraSession session;
  HostListWork work(session.host());
  const std::vector<std::uint8_t> bytes = Payload();
  for (auto _ : state) work.BuildAndRelease(bytes.data(), static_cast<int>(bytes.size()));
}
BENCHMARK(BM_HostBuildsList)->MinTime(0.1)->ComputeStatistics(kBest, Best);

void BM_Write(benchmark::State& state) {
  XtraSession session;
  LingoValueStore& values = session.host().values();
  const std::vector<std::uint8_t> payload = Payload();
  const MoaMmValue list = MakeList(values, payload);
  size_t sinceReplug = 0;
  for (auto _ : state) {
    if (sinceReplug == kWritesPerDevice) {
      state.PauseTiming();
      session.Replug();
      sinceReplug = 0;
      state.ResumeTiming();
    }
    session.Call(kSelectorWrite, {list});
    ++sinceReplug;
  }
  values.Release(list);
  std::vector<std::uint8_t> expected{0};
  expected.insert(expected.end(), payload.begin(), payload.end());
  const auto reports = standin::OutputReports(session.device());
  if (reports.size() != sinceReplug || reports.back() != expected)
    state.SkipWithError("the device did not receive every 64-byte report");
}
BENCHMARK(BM_Write)->MinTime(0.1)->ComputeStatistics(kBest, Best);

void BM_HostReadsList(benchmark::State& state) {
  XtraSession session;
  HostListWork work(session.host());
  LingoValueStore& values = session.host().values();
  const MoaMmValue list = MakeList(values, Payload());
  for (auto _ : state) benchmark::DoNotOptimize(work.SumIntegers(list));
  values.Release(list);
}
BENCHMARK(BM_HostReadsList)->MinTime(0.1)->ComputeStatistics(kBest, Best);

const bool kReadGoal = AddRatioGoal(
    {"ReadPacket (64 bytes) / host building the 64-value list", "BM_ReadPacket", nullptr, "BM_HostBuildsList", 2.0});
const bool kWriteGoal = AddRatioGoal(
    {"Write (64 integers) / host reading the 64-value list", "BM_Write", nullptr, "BM_HostReadsList", 2.0});

}  // namespace

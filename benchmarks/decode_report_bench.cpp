// DecodeReport of a game pad's 64-byte report (16 buttons, six axes and a
// hat: 23 controls by name) against ReadPacket of a 64-byte report, in the
// same run.
#include <benchmark/benchmark.h>

#include <vector>

#include "ratio_goals.h"
#include "xtra_session.h"

using namespace director;

namespace {

void BM_DecodeGamepadReport(benchmark::State& state) {
  XtraSession session;
  OpenGamepad(session);
  LingoValueStore& values = session.host().values();
  // Buttons 1 and 3, X -1234, Y 512, the hat at 2.
  std::vector<std::uint8_t> bytes(XtraSession::kReportBytes);
  bytes[1] = 0x05;
  bytes[3] = 0x2E;
  bytes[4] = 0xFB;
  bytes[6] = 0x02;
  bytes[15] = 0x02;
  const MoaMmValue report = values.List();
  for (std::uint8_t byte : bytes) {
    const MoaMmValue item = values.Integer(byte);
    values.Append(report, item);
    values.Release(item);
  }
  long properties = 0;
  for (auto _ : state) {
    MoaMmValue result = kVoidMoaMmValue;
    session.script().CallWithValues(kSelectorDecodeReport, {report}, &result);
    const LingoValue* decoded = values.Find(result);
    properties += decoded ? static_cast<long>(decoded->items.size()) : 0;
    values.Release(result);
  }
  values.Release(report);
  // #ReportID, 16 buttons, six axes and the hat.
  if (properties != static_cast<long>(state.iterations()) * 24)
    state.SkipWithError("DecodeReport answered other than the pad's 24 properties");
}
BENCHMARK(BM_DecodeGamepadReport)->MinTime(0.1)->ComputeStatistics(kBest, Best);

const bool kDecodeGoal = AddRatioGoal({"DecodeReport (64-byte game-pad report) / ReadPacket (64 bytes)",
                                       "BM_DecodeGamepadReport", nullptr, "BM_ReadPacket", 3.0});

}  // namespace

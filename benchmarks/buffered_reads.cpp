#include "buffered_reads.h"

using namespace director;

void TimeBufferedReads(benchmark::State& state, XtraSession& session, MoaLong selector, int pauseEvery,
                       const std::function<void()>& whilePaused) {
  long values = 0;
  int buffered = 0;
  int sincePause = 0;
  for (auto _ : state) {
    if (buffered == 0 || (pauseEvery > 0 && sincePause == pauseEvery)) {
      state.PauseTiming();
      if (buffered == 0) {
        session.Feed(kReportsPerBatch);
        buffered = kReportsPerBatch;
      }
      if (whilePaused) whilePaused();
      sincePause = 0;
      state.ResumeTiming();
    }
    values += session.CallForCount(selector);
    --buffered;
    ++sincePause;
  }
  if (values != static_cast<long>(state.iterations()) * XtraSession::kReportBytes)
    state.SkipWithError("a read answered other than one 64-byte report");
}

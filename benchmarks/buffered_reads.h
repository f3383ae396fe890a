// Times one reading call per iteration while a 64-byte report is always
// buffered for it. Reports are sent and stored in batches with the timer
// stopped, so the reader thread is idle while the reads are timed.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>

#include "xtra_session.h"

// The session's device must queue a whole batch without dropping.
constexpr int kReportsPerBatch = 1000;

// `whilePaused`, when given, also runs with the timer stopped after every
// `pauseEvery` reads.
void TimeBufferedReads(benchmark::State& state, XtraSession& session, director::MoaLong selector, int pauseEvery = 0,
                       const std::function<void()>& whilePaused = nullptr);

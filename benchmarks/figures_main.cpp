// Runs the call benchmarks with repetitions, prints Google Benchmark's table
// of their statistics, then each ratio goal. Extra arguments go to Google
// Benchmark (e.g. --benchmark_filter=Write).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "ratio_goals.h"

namespace {

// Without colour codes: the output goes to a log as often as to a terminal.
class BestCollector : public benchmark::ConsoleReporter {
 public:
  BestCollector() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != kBest || run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      bestNs_[name] = run.GetAdjustedCPUTime();
      // Benchmarks that time their parts themselves give them as counters.
      for (const auto& [counter, value] : run.counters) bestNs_[name + "/" + counter] = value.value;
    }
  }
  const std::map<std::string, double>& bestNs() const { return bestNs_; }

 private:
  std::map<std::string, double> bestNs_;
};

}  // namespace

int main(int argc, char** argv) {
  // Several short repetitions: the machine is shared and noisy.
  std::vector<char*> arguments{argv[0]};
  std::string repetitions = "--benchmark_repetitions=7";
  std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
  arguments.push_back(repetitions.data());
  arguments.push_back(aggregatesOnly.data());
  arguments.insert(arguments.end(), argv + 1, argv + argc);
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 2;

  BestCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\nFigures vary from run to run on a shared machine (%u cores).\n",
              std::thread::hardware_concurrency());
  return PrintRatioGoals(reporter.bestNs()) ? 0 : 1;
}

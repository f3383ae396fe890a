// Figures that compare benchmarks of the same run: (measured - subtracted) /
// baseline over their best repetitions' CPU time (a preempted call does not
// count the time it waited), each against the most it may be.
// Benchmark files add theirs at start-up, as they register benchmarks.
#pragma once

#include <map>
#include <string>
#include <vector>

struct RatioGoal {
  const char* figure;
  const char* measured;
  const char* subtracted;  // null: nothing is taken off
  const char* baseline;
  double atMost;  // 0: a figure to report, with no goal
};

bool AddRatioGoal(const RatioGoal& goal);
// Prints every goal's figure from the best times by benchmark name; false
// when one is missed or cannot be computed.
bool PrintRatioGoals(const std::map<std::string, double>& bestNs);

// The "min" statistic of the benchmarks that goals use: the machine's noise
// only ever adds time, so the best repetition is the steadiest figure.
constexpr char kBest[] = "min";
double Best(const std::vector<double>& repetitions);

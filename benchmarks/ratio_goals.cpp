#include "ratio_goals.h"

#include <algorithm>
#include <cstdio>

namespace {

std::vector<RatioGoal>& Goals() {
  static std::vector<RatioGoal> goals;
  return goals;
}

}  // namespace

bool AddRatioGoal(const RatioGoal& goal) {
  Goals().push_back(goal);
  return true;
}

bool PrintRatioGoals(const std::map<std::string, double>& bestNs) {
  bool allMet = true;
  std::printf("\n%-66s %8s %8s  %s\n", "figure (CPU time, best of the repetitions)", "value", "goal", "");
  for (const RatioGoal& goal : Goals()) {
    const auto measured = bestNs.find(goal.measured);
    const auto baseline = bestNs.find(goal.baseline);
    const auto subtracted = goal.subtracted ? bestNs.find(goal.subtracted) : bestNs.end();
    if (measured == bestNs.end() || baseline == bestNs.end() ||
        (goal.subtracted && subtracted == bestNs.end())) {
      std::printf("%-66s %8s %8s  not run\n", goal.figure, "-", "-");
      allMet = false;
      continue;
    }
    const double taken = goal.subtracted ? subtracted->second : 0.0;
    const double value = (measured->second - taken) / baseline->second;
    if (goal.atMost == 0) {
      std::printf("%-66s %8.3f %8s\n", goal.figure, value, "-");
      continue;
    }
    const bool met = value <= goal.atMost;
    allMet = allMet && met;
    char limit[16];
    std::snprintf(limit, sizeof limit, "<= %g", goal.atMost);
    std::printf("%-66s %8.3f %8s  %s\n", goal.figure, value, limit, met ? "met" : "MISSED");
  }
  return allMet;
}

double Best(const std::vector<double>& repetitions) {
  return repetitions.empty() ? 0.0 : *std::min_element(repetitions.begin(), repetitions.end());
}

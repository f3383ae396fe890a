#include <cstdio>
#include <vector>

#include "minitest.h"

namespace minitest {
namespace {

struct Entry {
  const char* name;
  std::function<void()> body;
};

std::vector<Entry>& Tests() {
  static std::vector<Entry> tests;
  return tests;
}

int gFailuresInTest = 0;
bool gFatalFailureInTest = false;

}  // namespace

void AddTest(const char* name, std::function<void()> body) { Tests().push_back({name, std::move(body)}); }

void RecordFailure(const char* file, int line, const std::string& what) {
  ++gFailuresInTest;
  std::printf("%s:%d: Failure\n  %s\n", file, line, what.c_str());
}

void RecordFatalFailure() { gFatalFailureInTest = true; }

bool HasFatalFailure() { return gFatalFailureInTest; }

}  // namespace minitest

int main() {
  int passed = 0, failed = 0;
  for (auto& test : minitest::Tests()) {
    std::printf("[ RUN      ] %s\n", test.name);
    minitest::gFailuresInTest = 0;
    minitest::gFatalFailureInTest = false;
    test.body();
    const bool ok = minitest::gFailuresInTest == 0;
    std::printf("%s %s\n", ok ? "[       OK ]" : "[  FAILED  ]", test.name);
    (ok ? passed : failed)++;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}

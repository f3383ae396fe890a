// The runner's own handling of a fixture whose SetUp fails: the body is
// skipped, TearDown runs, the test fails and the next one is unaffected.
// CTest reads what this prints; a test here cannot judge its own verdict.
#include <cstdio>

#include "minitest.h"

namespace {

class SetUpFails : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(false) << "on purpose"; }
  void TearDown() override { std::printf("TearDown ran\n"); }
};

TEST_F(SetUpFails, SkipsTheBody) { std::printf("the body ran after a failed SetUp\n"); }

class SetUpWorks : public testing::Test {};

TEST_F(SetUpWorks, RunsTheBody) { std::printf("the next body ran\n"); }

}  // namespace

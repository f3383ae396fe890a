// The part of GoogleTest's interface that our shared tests use, for the
// Windows build, for which Debian packages no GoogleTest. It prints the same
// closing line, "N passed, N failed", that CI reads.
#pragma once

#include <cstring>
#include <functional>
#include <sstream>
#include <string>

namespace testing {
struct Test {
  virtual ~Test() = default;
  virtual void SetUp() {}
  virtual void TearDown() {}
};
}  // namespace testing

namespace minitest {

void AddTest(const char* name, std::function<void()> body);
void RecordFailure(const char* file, int line, const std::string& what);
void RecordFatalFailure();
// Whether an ASSERT_* has failed in the running test, as GoogleTest's
// Test::HasFatalFailure tells.
bool HasFatalFailure();

struct Registrar {
  Registrar(const char* name, std::function<void()> body) { AddTest(name, std::move(body)); }
};

// Collects a failure message and records it when the full expression ends.
class Failure {
 public:
  Failure(const char* file, int line, const char* what) : file_(file), line_(line) { text_ << what; }
  ~Failure() { RecordFailure(file_, line_, text_.str()); }
  template <class T>
  Failure& operator<<(const T& value) {
    text_ << ' ' << value;
    return *this;
  }

 private:
  const char* file_;
  int line_;
  std::ostringstream text_;
};

// Lets ASSERT_* leave the test function after recording.
struct Fatal {
  void operator=(const Failure&) { RecordFatalFailure(); }
};

inline bool SameText(const char* a, const char* b) {
  return (a == nullptr || b == nullptr) ? a == b : std::strcmp(a, b) == 0;
}

}  // namespace minitest

#define MINITEST_NAME(a, b) a##_##b
#define TEST(suite, name)                                                                      \
  static void MINITEST_NAME(suite, name)();                                                    \
  static minitest::Registrar MINITEST_NAME(suite, name##_registrar)(#suite "." #name,          \
                                                                    MINITEST_NAME(suite, name)); \
  static void MINITEST_NAME(suite, name)()
// As in GoogleTest, a fatal failure in SetUp skips the body, not TearDown.
#define TEST_F(fixture, name)                                                                 \
  struct MINITEST_NAME(fixture, name) : fixture {                                             \
    void TestBody();                                                                          \
  };                                                                                          \
  static minitest::Registrar MINITEST_NAME(fixture, name##_registrar)(#fixture "." #name, [] { \
    MINITEST_NAME(fixture, name) test;                                                        \
    testing::Test& base = test;                                                               \
    base.SetUp();                                                                             \
    if (!minitest::HasFatalFailure()) test.TestBody();                                        \
    base.TearDown();                                                                          \
  });                                                                                         \
  void MINITEST_NAME(fixture, name)::TestBody()

#define MINITEST_EXPECT(condition, text) \
  if (condition) {                       \
  } else                                 \
    minitest::Failure(__FILE__, __LINE__, text)
#define MINITEST_ASSERT(condition, text) \
  if (condition) {                       \
  } else                                 \
    return minitest::Fatal() = minitest::Failure(__FILE__, __LINE__, text)

#define ADD_FAILURE() minitest::Failure(__FILE__, __LINE__, "failure:")
#define EXPECT_TRUE(c) MINITEST_EXPECT((c), "expected true: " #c)
#define EXPECT_FALSE(c) MINITEST_EXPECT(!(c), "expected false: " #c)
#define EXPECT_EQ(a, b) MINITEST_EXPECT((a) == (b), "expected " #a " == " #b)
#define EXPECT_NE(a, b) MINITEST_EXPECT((a) != (b), "expected " #a " != " #b)
#define EXPECT_STREQ(a, b) MINITEST_EXPECT(minitest::SameText((a), (b)), "expected same text: " #a ", " #b)
#define ASSERT_TRUE(c) MINITEST_ASSERT((c), "expected true: " #c)
#define ASSERT_FALSE(c) MINITEST_ASSERT(!(c), "expected false: " #c)
#define ASSERT_EQ(a, b) MINITEST_ASSERT((a) == (b), "expected " #a " == " #b)
#define ASSERT_NE(a, b) MINITEST_ASSERT((a) != (b), "expected " #a " != " #b)

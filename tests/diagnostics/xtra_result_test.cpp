#include "diagnostics/xtra_result.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ListenerLog {
  int calls = 0;
  std::string message;
  int32_t code = 0;
};

int32_t RecordingListener(void* data, const char* message, int32_t code) {
  auto* log = static_cast<ListenerLog*>(data);
  ++log->calls;
  log->message = message;
  log->code = code;
  return 42;
}

TEST(XtraResultStatusText, IsOkAfterSetOkAndEmptyAfterClear) {
  XtraResult result;
  result.SetOk();
  EXPECT_STREQ(result.StatusText(), "Ok");
  result.Clear();
  EXPECT_STREQ(result.StatusText(), "");
}

TEST(XtraResultStatusText, ShowsTheCodeUnlessItIsMinusOne) {
  XtraResult result;
  result.SetError("Out of memory", -1);
  EXPECT_STREQ(result.StatusText(), "Error :Out of memory");
  result.SetError("Out of memory", 5);
  EXPECT_STREQ(result.StatusText(), "Error :Out of memory (5)");
  result.SetError("Out of memory", 0);
  EXPECT_STREQ(result.StatusText(), "Error :Out of memory (0)");
  result.SetError("Out of memory", -2);
  EXPECT_STREQ(result.StatusText(), "Error :Out of memory (-2)");
}

TEST(XtraResultStatusText, ASecondErrorReplacesTheFirst) {
  XtraResult result;
  result.SetError("first", 1);
  result.SetError("second", 2);
  EXPECT_STREQ(result.message, "second");
  EXPECT_EQ(result.code, 2);
  EXPECT_STREQ(result.StatusText(), "Error :second (2)");
}

TEST(XtraResultStatusText, OverlongTextsAreCutAndStayTerminated) {
  XtraResult result;
  const std::string longMessage(5000, 'x');
  result.SetError(longMessage.c_str(), 123456);
  EXPECT_EQ(std::string(result.message), std::string(1023, 'x'));
  const std::string status = result.StatusText();
  EXPECT_EQ(status.size(), 1023u);
  EXPECT_EQ(status.rfind("Error :xxx", 0), 0u);
}

TEST(XtraResultListener, HearsOnlyAReportedErrorAndDecidesTheAnswer) {
  XtraResult result;
  result.SetError("no listener", 3);
  EXPECT_EQ(result.Report(), 0);
  ListenerLog log;
  result.SetListener(&log, RecordingListener);
  result.SetError("Could not create an event", -1);
  EXPECT_EQ(log.calls, 0) << "recording an error is not reporting it";
  EXPECT_EQ(result.Report(), 42);
  EXPECT_EQ(log.calls, 1);
  EXPECT_EQ(log.message, "Could not create an event");
  EXPECT_EQ(log.code, -1);
  result.SetOk();
  EXPECT_EQ(result.Report(), 0);
  EXPECT_EQ(log.calls, 1) << "success is never reported";
}

TEST(XtraResultListener, SurvivesSetOkAndCopiedOutcomesButNotClearOrAssignment) {
  ListenerLog log;
  XtraResult result;
  result.SetListener(&log, RecordingListener);
  result.SetOk();
  result.CopyOutcome(XtraResult::Failure("kept", 1));
  result.Report();
  EXPECT_EQ(log.calls, 1);
  EXPECT_EQ(log.message, "kept");

  result.Clear();
  result.SetError("removed", 1);
  result.Report();
  EXPECT_EQ(log.calls, 1);

  result.SetListener(&log, RecordingListener);
  result = XtraResult::Failure("replaced by assignment", 1);
  result.Report();
  EXPECT_EQ(log.calls, 1);
}

}  // namespace

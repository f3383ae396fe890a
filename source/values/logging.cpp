// The instance's access to the shared log file.
#include <memory>
#include <new>

#include "diagnostics/bounded_text.h"
#include "diagnostics/xtra_log.h"
#include "values/host_services.h"

XtraResult HostServices::SetLogFileName(const char* name) {
  result_.SetOk();
  CopyText(logFileName_, kLogFileNameSize - 1, name);
  return result_;
}

XtraResult HostServices::OpenLog() {
  result_ = XtraLog::Instance().OpenLog(logFileName_);
  return result_;
}

XtraResult HostServices::CloseLog() {
  result_ = XtraLog::Instance().CloseLog();
  return result_;
}

XtraResult HostServices::LogLine(const char* message, const char* tag) {
  result_ = XtraLog::Instance().WriteLogLine(logFileName_, tag, message);
  return result_;
}

// Called from the window procedure and the host's notification too, where
// no exception may go: without memory for the text there is no line.
XtraResult HostServices::LogCallbackArguments(int32_t argCount, const MoaMmValue* args) {
  result_.SetOk();
  std::unique_ptr<char[]> text(new (std::nothrow) char[kLogTextCapacity]());
  if (!text) return result_;
  size_t length = 0;
  for (int32_t i = 0; i < argCount; ++i) ValueToLogText(&args[i], text.get(), length);
  if (!result_.isError) LogLine(text.get(), "<*>");
  return result_;
}

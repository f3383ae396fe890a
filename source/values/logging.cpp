// The instance's access to the shared log file.
#include <vector>

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
  result_.SetOk();
  XtraLog& log = XtraLog::Instance();
  if (!log.IsOpen()) log.OpenLog(logFileName_);
  result_ = log.WriteLogLine(tag, message);
  return result_;
}

XtraResult HostServices::LogCallbackArguments(int32_t argCount, const MoaMmValue* args) {
  result_.SetOk();
  std::vector<char> text(kLogTextCapacity, '\0');
  size_t length = 0;
  for (int32_t i = 0; i < argCount; ++i) ValueToLogText(&args[i], text.data(), length);
  if (!result_.isError) LogLine(text.data(), "<*>");
  return result_;
}

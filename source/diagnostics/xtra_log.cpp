#include "diagnostics/xtra_log.h"

#include "platform.h"

XtraLog& XtraLog::Instance() {
  static XtraLog log;
  return log;
}

XtraLog::~XtraLog() { CloseLog(); }

XtraResult XtraLog::OpenLog(const char* fileName) {
  result_.SetOk();
  // The stream being replaced would otherwise stay open until the process ends.
  CloseLog();
  stream_ = fopen(fileName, "w+");
  if (stream_) {
    std::fprintf(stream_, "Code compile date:%s\n Code compile time:%s\n", __DATE__, __TIME__);
    std::fflush(stream_);
  }
  return result_;
}

XtraResult XtraLog::CloseLog() {
  result_.SetOk();
  if (stream_) std::fclose(stream_);
  stream_ = nullptr;
  return result_;
}

XtraResult XtraLog::WriteLogLine(const char* tag, const char* message) {
  result_.SetOk();
  if (!stream_) return result_;
  std::fprintf(stream_, "%d: %s:%s\n", static_cast<int>(static_cast<int32_t>(GetTickCount())), tag, message);
  std::fflush(stream_);
  return result_;
}

#include "diagnostics/xtra_log.h"

#include <cstring>

#include "diagnostics/bounded_text.h"
#include "platform.h"

XtraLog& XtraLog::Instance() {
  static XtraLog log;
  return log;
}

XtraLog::~XtraLog() { CloseLog(); }

XtraResult XtraLog::OpenLog(const char* fileName) {
  result_.SetOk();
  Open(fileName, "w+");
  return result_;
}

XtraResult XtraLog::CloseLog() {
  result_.SetOk();
  if (stream_) std::fclose(stream_);
  stream_ = nullptr;
  return result_;
}

XtraResult XtraLog::WriteLogLine(const char* fileName, const char* tag, const char* message) {
  result_.SetOk();
  if (!stream_ || std::strcmp(fileName_, fileName) != 0) Open(fileName, "a+");
  if (!stream_) return result_;
  std::fprintf(stream_, "%d: %s:%s\n", static_cast<int>(static_cast<int32_t>(GetTickCount())), tag, message);
  std::fflush(stream_);
  return result_;
}

// The stream being replaced would otherwise stay open until the process ends.
void XtraLog::Open(const char* fileName, const char* mode) {
  CloseLog();
  stream_ = fopen(fileName, mode);
  if (!stream_) return;
  CopyText(fileName_, fileName);
  std::fprintf(stream_, "Code compile date:%s\n Code compile time:%s\n", __DATE__, __TIME__);
  std::fflush(stream_);
}

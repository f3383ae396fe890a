// The process-wide log file: error reports and the arguments of every Lingo
// callback, one tick-stamped line each, flushed at once.
#pragma once

#include <cstdio>

#include "diagnostics/xtra_result.h"

class XtraLog {
 public:
  // Made on first use; shared by every instance for the life of the process.
  static XtraLog& Instance();

  // Empties the file and writes the build stamp; a file that cannot be
  // opened leaves the log closed, which is no error.
  XtraResult OpenLog(const char* fileName);
  XtraResult CloseLog();
  XtraResult WriteLogLine(const char* tag, const char* message);
  bool IsOpen() const { return stream_ != nullptr; }

 private:
  XtraLog() = default;
  ~XtraLog();

  std::FILE* stream_ = nullptr;
  XtraResult result_;
};

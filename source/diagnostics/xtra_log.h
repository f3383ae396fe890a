// The process-wide log file: error reports and the arguments of every Lingo
// callback, one tick-stamped line each, flushed at once. Instances may name
// different files; each line goes to its own instance's file.
#pragma once

#include <cstdio>

#include "diagnostics/xtra_result.h"
#include "platform.h"

class XtraLog {
 public:
  static constexpr size_t kFileNameSize = 256;

  // Made on first use; shared by every instance for the life of the process.
  static XtraLog& Instance();

  // A movie's own open: empties the file and writes the build stamp. A file
  // that cannot be opened leaves the log closed, which is no error; a name
  // that is no local file, or a file that is not HidBridge's log, is one,
  // and nothing is written.
  XtraResult OpenLog(const char* fileName);
  static constexpr char kNotLocal[] = "The log file must be a full path on a local drive, such as c:\\HidBridge_XtraLog.txt";
  static constexpr char kNotOurs[] = "The log file exists and is not HidBridge's log";
  XtraResult CloseLog();
  // Writes to `fileName`, which it opens to append to, after a build stamp,
  // when another file or none is open: nothing written before is lost. What
  // OpenLog refuses is not written to either.
  XtraResult WriteLogLine(const char* fileName, const char* tag, const char* message);
  bool IsOpen() const { return stream_ != nullptr; }

 private:
  XtraLog() = default;
  ~XtraLog();
  void Open(const char* fileName, const WCHAR* mode);

  std::FILE* stream_ = nullptr;
  char fileName_[kFileNameSize] = "";
  XtraResult result_;
};

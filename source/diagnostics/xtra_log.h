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

  // A movie's own open: adds the build stamp to the file, never empties it.
  // A file that cannot be opened leaves the log closed, which is no error; a
  // name the log may not be written to (log_file_name.h), or a file that is
  // not HidBridge's log (log_file_content.h), is one, and the log stays as
  // it was.
  XtraResult OpenLog(const char* fileName);
  XtraResult CloseLog();
  // Writes to `fileName`, which it opens as OpenLog does when another file
  // or none is open. The movie's texts are written with their control
  // characters escaped, so that no text makes a line of its own.
  XtraResult WriteLogLine(const char* fileName, const char* tag, const char* message);
  bool IsOpen() const { return stream_ != nullptr; }

 private:
  XtraLog() = default;
  ~XtraLog();
  void Open(const char* fileName);

  std::FILE* stream_ = nullptr;
  char fileName_[kFileNameSize] = "";
  XtraResult result_;
};

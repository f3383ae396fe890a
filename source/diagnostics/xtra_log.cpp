#include "diagnostics/xtra_log.h"

#include <cstring>

#include "diagnostics/bounded_text.h"
#include "diagnostics/log_file_name.h"
#include "platform.h"
#include "values/host_text.h"

XtraLog& XtraLog::Instance() {
  static XtraLog log;
  return log;
}

XtraLog::~XtraLog() { CloseLog(); }

namespace {

// Nothing but HidBridge's own log is ever emptied or added to: the file must
// not exist yet, be empty, or begin with the header every log begins with.
bool IsOwnLogOrNone(const WCHAR* fileName) {
  std::FILE* existing = _wfopen(fileName, WIDE_TEXT("rb"));
  if (!existing) return true;
  char start[sizeof kLogHeaderStart - 1];
  const size_t read = std::fread(start, 1, sizeof start, existing);
  std::fclose(existing);
  return read == 0 || (read == sizeof start && std::memcmp(start, kLogHeaderStart, sizeof start) == 0);
}

}  // namespace

XtraResult XtraLog::OpenLog(const char* fileName) {
  result_.SetOk();
  Open(fileName, WIDE_TEXT("w+"));
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
  if (!stream_ || std::strcmp(fileName_, fileName) != 0) Open(fileName, WIDE_TEXT("a+"));
  if (!stream_) return result_;
  std::fprintf(stream_, "%d: %s:%s\n", static_cast<int>(static_cast<int32_t>(GetTickCount())), tag, message);
  std::fflush(stream_);
  return result_;
}

// The stream being replaced would otherwise stay open until the process ends.
void XtraLog::Open(const char* fileName, const WCHAR* mode) {
  CloseLog();
  // No name, no file: the log stays closed, as it always has.
  if (!fileName[0]) return;
  // The movie's text goes to Windows in UTF-16: a name in UTF-8 (Director
  // 11) read in the ANSI code page would be another file.
  WCHAR wideName[kFileNameSize];
  if (!IsLocalLogFileName(fileName) || !HostTextToWide(fileName, wideName, kFileNameSize)) {
    result_.SetError(kNotLocal, XtraResult::kNoCode);
  } else if (!IsOwnLogOrNone(wideName)) {
    result_.SetError(kNotOurs, XtraResult::kNoCode);
  }
  if (result_.isError) {
    OutputDebugStringA("HidBridge: the log was not written: ");
    OutputDebugStringA(result_.message);
    OutputDebugStringA("\n");
    return;
  }
  stream_ = _wfopen(wideName, mode);
  if (!stream_) return;
  CopyText(fileName_, fileName);
  std::fprintf(stream_, "%s%s\n Code compile time:%s\n", kLogHeaderStart, __DATE__, __TIME__);
  std::fflush(stream_);
}

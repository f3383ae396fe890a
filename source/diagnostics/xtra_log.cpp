#include "diagnostics/xtra_log.h"

#include <cstring>

#include "diagnostics/bounded_text.h"
#include "diagnostics/log_file_content.h"
#include "diagnostics/log_file_name.h"
#include "platform.h"

XtraLog& XtraLog::Instance() {
  static XtraLog log;
  return log;
}

XtraLog::~XtraLog() { CloseLog(); }

namespace {

// Line breaks and other control characters as C writes them in a literal:
// a text from the movie cannot end its line and forge the next one.
void WriteEscaped(std::FILE* stream, const char* text) {
  for (const char* plain = text;;) {
    const char* special = plain;
    while (*special && static_cast<unsigned char>(*special) >= 0x20 && *special != 0x7F) ++special;
    std::fwrite(plain, 1, static_cast<size_t>(special - plain), stream);
    switch (*special) {
      case '\0':
        return;
      case '\n':
        std::fputs("\\n", stream);
        break;
      case '\r':
        std::fputs("\\r", stream);
        break;
      case '\t':
        std::fputs("\\t", stream);
        break;
      default:
        std::fprintf(stream, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(*special)));
        break;
    }
    plain = special + 1;
  }
}

}  // namespace

XtraResult XtraLog::OpenLog(const char* fileName) {
  result_.SetOk();
  Open(fileName);
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
  if (!stream_ || std::strcmp(fileName_, fileName) != 0) Open(fileName);
  if (!stream_ || result_.isError) return result_;
  std::fprintf(stream_, "%d: ", static_cast<int>(static_cast<int32_t>(GetTickCount())));
  WriteEscaped(stream_, tag);
  std::fputc(':', stream_);
  WriteEscaped(stream_, message);
  std::fputc('\n', stream_);
  std::fflush(stream_);
  return result_;
}

void XtraLog::Open(const char* fileName) {
  // No name, no file: the log stays closed, as it always has.
  if (!fileName[0]) {
    CloseLog();
    return;
  }
  WCHAR wideName[kFileNameSize];
  const char* fault = LogFileNameFault(fileName, wideName, kFileNameSize);
  if (!fault) fault = LogFileContentFault(wideName);
  if (fault) {
    result_.SetError(fault, XtraResult::kNoCode);
    OutputDebugStringA("HidBridge: the log was not written: ");
    OutputDebugStringA(result_.message);
    OutputDebugStringA("\n");
    return;
  }
  // The stream being replaced would otherwise stay open until the process
  // ends.
  CloseLog();
  // Appended to: what a log held stays, each opening marked by the stamp.
  stream_ = _wfopen(wideName, WIDE_TEXT("a"));
  if (!stream_) return;
  CopyText(fileName_, fileName);
  std::fprintf(stream_, "%s%s\n%s%s\n", kLogStampDate, __DATE__, kLogStampTime, __TIME__);
  std::fflush(stream_);
}

#include "diagnostics/log_file_content.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a file's bytes as they come and judges it a line at a time. Of each
// line it keeps only the start, all that a stamp or an entry's tick needs.
class LogLines {
 public:
  void Take(const char* bytes, size_t count) {
    for (size_t i = 0; i < count && good_; ++i) Take(bytes[i]);
  }
  bool good() const { return good_; }
  // Whole lines of a log, or nothing at all.
  bool WholeLog() const { return good_ && length_ == 0 && !afterReturn_ && !wantTime_; }

 private:
  void Take(char c) {
    // Windows' text mode ends each line with CR LF; a CR elsewhere is no
    // part of a log.
    if (afterReturn_ && c != '\n') good_ = false;
    afterReturn_ = false;
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      EndLine();
    } else if (c == '\r') {
      afterReturn_ = true;
    } else if (byte < 0x20 || byte == 0x7F) {
      good_ = false;  // the log writes every control character escaped
    } else {
      if (c == ':') ++colons_;
      if (length_ < sizeof start_) start_[length_] = c;
      ++length_;
    }
  }

  void EndLine() {
    const bool date = IsDateStamp();
    if (wantTime_) {
      good_ = IsTimeStamp();
    } else if (first_) {
      good_ = date;
    } else {
      good_ = date || IsEntry();
    }
    wantTime_ = date;
    first_ = false;
    length_ = 0;
    colons_ = 0;
  }

  bool Starts(const char* stamp, size_t restLength) const {
    const size_t stampLength = std::strlen(stamp);
    return length_ == stampLength + restLength && std::memcmp(start_, stamp, stampLength) == 0;
  }

  // "Code compile date:Jan  5 2024", as the compiler's __DATE__ has it.
  bool IsDateStamp() const {
    if (!Starts(kLogStampDate, 11)) return false;
    const char* date = start_ + std::strlen(kLogStampDate);
    return date[0] >= 'A' && date[0] <= 'Z' && date[1] >= 'a' && date[1] <= 'z' && date[2] >= 'a' &&
           date[2] <= 'z' && date[3] == ' ' && (date[4] == ' ' || IsDigit(date[4])) && IsDigit(date[5]) &&
           date[6] == ' ' && IsDigit(date[7]) && IsDigit(date[8]) && IsDigit(date[9]) && IsDigit(date[10]);
  }

  // " Code compile time:13:05:59".
  bool IsTimeStamp() const {
    if (!Starts(kLogStampTime, 8)) return false;
    const char* time = start_ + std::strlen(kLogStampTime);
    return IsDigit(time[0]) && IsDigit(time[1]) && time[2] == ':' && IsDigit(time[3]) && IsDigit(time[4]) &&
           time[5] == ':' && IsDigit(time[6]) && IsDigit(time[7]);
  }

  // "-12345: <tag>:<message>": a signed 32-bit tick, then the tag's colon.
  bool IsEntry() const {
    size_t at = start_[0] == '-' ? 1 : 0;
    const size_t first = at;
    while (at < length_ && at < sizeof start_ && IsDigit(start_[at])) ++at;
    const size_t digits = at - first;
    return digits >= 1 && digits <= 10 && at + 2 <= length_ && start_[at] == ':' && start_[at + 1] == ' ' &&
           colons_ >= 2;
  }

  char start_[32] = {};
  size_t length_ = 0;
  size_t colons_ = 0;
  bool afterReturn_ = false;
  bool first_ = true;
  bool wantTime_ = false;
  bool good_ = true;
};

// Reads the whole file, at most kLargestLogAddedTo bytes of it.
const char* ReadFault(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return kLogUnreadable;
  // ftell fails past 2 GB.
  const long size = std::ftell(file);
  if (size < 0 || size > kLargestLogAddedTo) return kLogTooLarge;
  if (std::fseek(file, 0, SEEK_SET) != 0) return kLogUnreadable;
  LogLines lines;
  char chunk[16384];
  long total = 0;
  while (lines.good() && total <= size) {
    const size_t read = std::fread(chunk, 1, sizeof chunk, file);
    if (read == 0) break;
    total += static_cast<long>(read);
    lines.Take(chunk, read);
  }
  if (!lines.good()) return kLogNotOurs;
  // A read that failed part way, or a file that changed meanwhile.
  if (total != size) return kLogUnreadable;
  return lines.WholeLog() ? nullptr : kLogNotOurs;
}

}  // namespace

const char* LogFileContentFault(const WCHAR* name) {
  const DWORD attributes = GetFileAttributesW(name);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // No such file yet: opening it makes one. Any other failure may hide a
    // file that is there.
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? nullptr : kLogUnreadable;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kLogIsFolder;
  // A link may lead anywhere, even to a server.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return kLogIsLink;
  std::FILE* file = _wfopen(name, WIDE_TEXT("rb"));
  if (!file) return kLogUnreadable;
  const char* fault = ReadFault(file);
  std::fclose(file);
  return fault;
}

#include "transcript.h"

#include "lingo_literals.h"

namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// A printed literal holds control characters only inside strings, and never
// an empty string beside &; so each character is joined in as Lingo writes
// it, and the empty strings that splitting leaves at either end go again.
std::string OnOneLine(std::string literal) {
  const std::pair<const char*, const char*> kJoined[] = {{"\r", "RETURN"}, {"\n", "numToChar(10)"}, {"\t", "TAB"}};
  for (const auto& [character, lingo] : kJoined) {
    const std::string name = lingo;
    ReplaceAll(literal, character, "\" & " + name + " & \"");
    ReplaceAll(literal, name + " & \"\"", name);
    ReplaceAll(literal, "\"\" & " + name, name);
  }
  return literal;
}

}  // namespace

class Transcript::Lock {
 public:
  explicit Lock(Transcript& transcript) : section_(transcript.section_) { EnterCriticalSection(&section_); }
  ~Lock() { LeaveCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

Transcript::Transcript(std::FILE* out, const HostPlayer& player) : out_(out), player_(player) {
  InitializeCriticalSection(&section_);
}

Transcript::~Transcript() { DeleteCriticalSection(&section_); }

std::string Transcript::StringLiteral(const std::string& text) {
  LingoValueStore values;
  const director::MoaMmValue value = values.String(text);
  const std::string literal = FormatLiteral(values, value);
  values.Release(value);
  return OnOneLine(literal);
}

void Transcript::Entry(const std::string& text) {
  std::fputs(indent_.c_str(), out_);
  std::fputs(text.c_str(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void Transcript::ScriptLine(const std::string& line) {
  Lock lock(*this);
  HandlerCallsLocked();
  if (echo_) Entry(line);
}

void Transcript::Statement(const std::string& line) {
  Lock lock(*this);
  HandlerCallsLocked();
  // A handler's statement is the Xtra's doing, not typed: always shown.
  if (echo_ || !indent_.empty()) Entry("> " + line);
}

void Transcript::Result(const std::string& literal, double milliseconds) {
  Lock lock(*this);
  HandlerCallsLocked();
  char timing[32] = "";
  if (milliseconds >= 0) std::snprintf(timing, sizeof timing, "  (%.3f ms)", milliseconds);
  Entry("  = " + OnOneLine(literal) + timing);
}

void Transcript::Box(const std::string& caption, const std::string& text) {
  Lock lock(*this);
  HandlerCallsLocked();
  Entry("  box " + StringLiteral(caption) + " " + StringLiteral(text));
}

void Transcript::Debug(const std::string& line) {
  Lock lock(*this);
  HandlerCallsLocked();
  Entry("  debug " + line.substr(0, line.find_last_not_of("\r\n") + 1));
}

void Transcript::Note(const std::string& text) {
  Lock lock(*this);
  HandlerCallsLocked();
  Entry("  " + text);
}

void Transcript::Error(int line, const std::string& what) {
  Error(line ? "line " + std::to_string(line) : std::string("at the end"), what);
}

void Transcript::Error(const std::string& where, const std::string& what) {
  Lock lock(*this);
  HandlerCallsLocked();
  Entry("! " + where + ": " + what);
}

void Transcript::HandlerCalls() {
  Lock lock(*this);
  HandlerCallsLocked();
}

void Transcript::HandlerCallsLocked() {
  const auto& calls = player_.calls();
  for (; handlerCallsShown_ < calls.size(); ++handlerCallsShown_)
    Entry("  call " + calls[handlerCallsShown_].name + "(" + OnOneLine(calls[handlerCallsShown_].arguments) + ")");
}

// What xtrahost prints: the script's lines, and under each statement what
// came of it, in the order it happened.
//
//   -- comment and blank lines of the script, as they are
//   > hid.OpenById(0x046D, 0xC52B)            a statement as written
//     box "HidBridge:OpenByID" "Device..."    a message box the Xtra showed
//     = "Ok"                                  the method's result
//     call HidBridge_XtraError([#Id: 1])      a movie handler the Xtra called
//     debug ExecutionFlow :Call : Enter       debugger output (--debug-output)
//     plugged pad: \\?\hid#vid_046d...         what a host command reports
//     > ShowErrorsAsDialogs(hid, 0)           a movie handler's own statement,
//       = "Ok"                                indented under the handler call
//   ! line 7: unknown method OpenByld          a mistake in the script, or a
//                                               misuse of the host's services
//
// Values are Lingo literals; a line break inside a string is written as
// numToChar(10), so that every entry stays on its line.
#pragma once

#include <cstdio>
#include <string>

#include "host_windows.h"
#include "player_service.h"

class Transcript {
 public:
  Transcript(std::FILE* out, const HostPlayer& player);
  ~Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // At a prompt the terminal shows what was typed: no echo of it.
  void EchoScript(bool echo) { echo_ = echo; }
  void ScriptLine(const std::string& line);
  void Statement(const std::string& line);
  void Result(const std::string& literal, double milliseconds = -1);
  void Box(const std::string& caption, const std::string& text);
  void Debug(const std::string& line);
  void Note(const std::string& text);
  // Line 0: found at the end of the run.
  void Error(int line, const std::string& what);
  // "! <where>: <what>", for mistakes of no line, e.g. "at registration".
  void Error(const std::string& where, const std::string& what);
  // Writes the movie handler calls the player recorded since the last look.
  void HandlerCalls();
  // What a movie handler does is written indented while one lives.
  class Nesting {
   public:
    explicit Nesting(Transcript& transcript) : transcript_(transcript) { transcript_.indent_ += "  "; }
    ~Nesting() { transcript_.indent_.resize(transcript_.indent_.size() - 2); }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    Transcript& transcript_;
  };

  // The text as a Lingo string literal.
  static std::string StringLiteral(const std::string& text);

 private:
  class Lock;
  void Entry(const std::string& text);
  void HandlerCallsLocked();

  std::FILE* out_;
  const HostPlayer& player_;
  size_t handlerCallsShown_ = 0;
  std::string indent_;
  bool echo_ = true;
  // Debugger output may come from the Xtra's reader thread. (mingw-w64's
  // Windows threads have no std::mutex; a critical section serves both.)
  CRITICAL_SECTION section_;
};

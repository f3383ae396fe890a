// Runs a script line by line against the loaded Xtra, as a movie would:
// named script instances, method calls checked against the Xtra's method
// table (parent and global handlers on an instance the host makes itself),
// host commands, and an idle pass after every statement but what a device
// does (see CommandInfo::movieIdlesAfter). Misuses of the host's services
// are mistakes of the line that caused them.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host_commands.h"
#include "method_catalog.h"
#include "script_instance.h"
#include "script_parser.h"
#include "transcript.h"

struct RunOptions {
  bool stopOnError = false;
  bool timings = false;
  // As Director's message window: a call's answer shows only after "put".
  // Transcripts show every answer.
  bool answersOnlyAfterPut = false;
};

class ScriptRunner {
 public:
  ScriptRunner(DirectorHost& host, const MethodCatalog& catalog, Transcript& transcript, RunOptions options);

  // Misuses of the host's services while the Xtra registered, before the
  // script's first line: mistakes of the run.
  void ReportRegistration(const std::vector<std::string>& misuses);
  // False when the line had a mistake (reported in the transcript).
  bool RunLine(int number, const std::string& line);
  // Forgets the instances left and reports what the Xtra left behind, each
  // a mistake too. Answers the number of mistakes in the whole run.
  int Finish();
  ~ScriptRunner();

 private:
  struct NamedInstance {
    std::string name;  // as first written
    std::unique_ptr<ScriptInstance> instance;
    int forgottenOnLine = 0;
  };

  // Empty when it went well, else what was wrong.
  std::string Execute(const Statement& statement);
  std::string Make(const NewInstance& made);
  std::string Drop(const DropReference& drop);
  std::string Call(const MethodCall& call);
  // The instance a call runs on, or what is wrong with the call.
  std::string Target(const MethodCall& call, const MethodEntry& method, ScriptInstance** instance);
  std::string CheckXtraName(const std::string& xtra) const;
  std::string Run(const HostCommand& command);
  const CommandInfo* FindCommand(const std::string& name) const;
  bool MovieIdlesAfter(const Statement& statement) const;
  // The script's object of that name, or null when none is alive.
  ScriptInstance* InstanceNamed(const std::string& name);
  std::string Define(const HandlerDefinition& definition);
  void ReportError(const std::string& what);

  DirectorHost& host_;
  const MethodCatalog& catalog_;
  Transcript& transcript_;
  RunOptions options_;
  IdleLoop idle_;
  ScriptParser parser_;
  std::vector<CommandInfo> commands_;
  std::map<std::string, NamedInstance> instances_;
  // Made at the first call of a parent or global handler.
  std::unique_ptr<ScriptInstance> xtraLevel_;
  // The line being run; a handler runs on the line whose idle delivered it.
  int line_ = 0;
  int errors_ = 0;
  // A misuse repeated on one line is reported once.
  std::string lastMisuse_;
  int lastMisuseLine_ = -1;
};

// Runs a script line by line against the loaded Xtra, as a movie would:
// named script instances, method calls checked against the Xtra's method
// table, host commands, and an idle pass after every statement.
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
};

class ScriptRunner {
 public:
  ScriptRunner(DirectorHost& host, const MethodCatalog& catalog, Transcript& transcript, RunOptions options);

  // False when the line had a mistake (reported in the transcript).
  bool RunLine(int number, const std::string& line);
  // Forgets the instances left and reports what the Xtra left behind, each
  // a mistake too. Answers the number of mistakes in the whole run.
  int Finish();

 private:
  struct NamedInstance {
    std::string name;  // as first written
    std::unique_ptr<ScriptInstance> instance;
    int forgottenOnLine = 0;
  };

  // Empty when it went well, else what was wrong.
  std::string Execute(const Statement& statement);
  std::string Make(const NewInstance& made);
  std::string Call(const MethodCall& call);
  std::string Run(const HostCommand& command);
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
  // The line being run; a handler runs on the line whose idle delivered it.
  int line_ = 0;
  int errors_ = 0;
};

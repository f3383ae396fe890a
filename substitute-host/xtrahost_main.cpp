// xtrahost: a command-line Director. It loads and registers an Xtra, runs a
// script of Lingo calls and host commands, and prints a transcript of what a
// movie would see.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "console_commands.h"
#include "console_terminal.h"
#include "describe.h"
#include "director_host.h"
#include "host_platform.h"
#include "method_catalog.h"
#include "script_runner.h"

using namespace director;

namespace {

constexpr char kUsage[] =
    "usage: xtrahost [--stop-on-error] [--debug-output] [--timings] [--mask-times] [--director VERSION] [--xtra PATH]\n"
    "                [SCRIPT | -]\n"
    "       xtrahost --describe [PATH]\n"
    "Runs SCRIPT (standard input without one, or with -) against the Xtra and prints a transcript.\n"
    "Without SCRIPT at a terminal it is a console like Director's message window: type help.\n"
    "--mask-times shows watch's times as ~, for transcripts that compare runs.\n"
    "--director plays that Director version: 11.5 (UTF-8 strings) unless told, 10.1 an ANSI host.\n";

struct Arguments {
  RunOptions run;
  bool debugOutput = false;
  std::string director = HostAppInfo::kDefaultVersion;
  std::string xtraPath = DefaultXtraPath();
  std::string script = "-";
  bool scriptGiven = false;
};

bool ReadArguments(int argc, char** argv, Arguments* arguments) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--stop-on-error")
      arguments->run.stopOnError = true;
    else if (argument == "--debug-output")
      arguments->debugOutput = true;
    else if (argument == "--timings")
      arguments->run.timings = true;
    else if (argument == "--mask-times")
      MaskWatchTimes();
    else if (argument == "--xtra" && i + 1 < argc)
      arguments->xtraPath = argv[++i];
    else if (argument == "--director" && i + 1 < argc)
      arguments->director = argv[++i];
    else if ((argument == "-" || argument[0] != '-') && !arguments->scriptGiven) {
      arguments->script = argument;
      arguments->scriptGiven = true;
    } else
      return false;
  }
  return true;
}

// The registered message table, from which the methods are learnt.
std::string MessageTable(DirectorHost& host) {
  const DictPut* table = host.cache().entry().Find("msgTable");
  return table ? table->data : "";
}

int Run(const Arguments& arguments, std::istream& script) {
  DirectorHost host;
  host.PlayDirector(arguments.director);
  if (!host.Load(arguments.xtraPath)) {
    std::fprintf(stderr, "xtrahost: %s\n", host.error().c_str());
    return 2;
  }
  const MoaError registered = host.Register();
  const MethodCatalog catalog(MessageTable(host));
  if (registered != kMoaErr_NoErr || catalog.methods().empty()) {
    std::fprintf(stderr, "xtrahost: the Xtra did not register its methods (status %d)\n", static_cast<int>(registered));
    return 2;
  }

  Transcript transcript(stdout, host.player());
  host.OnMessageBox(
      [&transcript](const std::string& caption, const std::string& text) { transcript.Box(caption, text); });
  const auto debug = [&transcript, show = arguments.debugOutput](const std::string& line) {
    if (show) transcript.Debug(line);
  };
  std::string error;
  if (!CaptureXtraDebugOutput(host.module(), debug, &error)) {
    std::fprintf(stderr, "xtrahost: %s\n", error.c_str());
    return 2;
  }
  const DictPut* shockwave = host.cache().entry().Find("safeForShockwave");
  transcript.ScriptLine("-- xtra \"" + catalog.xtraName() + "\" registered " +
                        std::to_string(catalog.methods().size()) + " methods" +
                        (shockwave && shockwave->data[0] ? ", safe for Shockwave" : ""));

  const bool prompt = !arguments.scriptGiven && StandardInputIsTerminal();
  RunOptions run = arguments.run;
  run.answersOnlyAfterPut = prompt;
  ScriptRunner runner(host, catalog, transcript, run);
  runner.ReportRegistration(host.Misuses());
  if (prompt) {
    transcript.EchoScript(false);
    std::puts("Type Lingo or a command (help lists them); Ctrl+D, on Windows Ctrl+Z and Enter, ends xtrahost.");
  }
  std::string line;
  for (int number = 1; (!prompt || std::fputs("> ", stdout) >= 0) && std::getline(script, line); ++number)
    if (!runner.RunLine(number, line) && arguments.run.stopOnError) break;
  const int errors = runner.Finish();
  if (errors) std::fprintf(stderr, "xtrahost: %d mistake(s), see the lines marked !\n", errors);
  return errors ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--describe") == 0) return Describe(argc >= 3 ? argv[2] : DefaultXtraPath());
  Arguments arguments;
  if (!ReadArguments(argc, argv, &arguments)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (arguments.script == "-") return Run(arguments, std::cin);
  std::ifstream file(arguments.script);
  if (!file) {
    std::fprintf(stderr, "xtrahost: cannot read %s\n", arguments.script.c_str());
    return 2;
  }
  return Run(arguments, file);
}

#include "script_runner.h"

#include <chrono>

#include "host_platform.h"
#include "lingo_literals.h"

namespace {

bool IsError(const std::string& result) { return result.rfind("<Error", 0) == 0; }

std::string Trimmed(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

ScriptRunner::ScriptRunner(DirectorHost& host, const MethodCatalog& catalog, Transcript& transcript, RunOptions options)
    : host_(host),
      catalog_(catalog),
      transcript_(transcript),
      options_(options),
      idle_(host),
      commands_(HostCommands()) {}

void ScriptRunner::ReportError(const std::string& what) {
  ++errors_;
  transcript_.Error(line_, what);
}

bool ScriptRunner::RunLine(int number, const std::string& line) {
  line_ = number;
  const int errorsBefore = errors_;
  Statement statement;
  std::string error;
  if (!parser_.Parse(line, &statement, &error)) {
    transcript_.Statement(Trimmed(line));
    ReportError(error);
  } else if (std::holds_alternative<NoStatement>(statement)) {
    transcript_.ScriptLine(line.substr(0, line.find_last_not_of(" \t\r") + 1));
  } else {
    transcript_.Statement(Trimmed(line));
    error = Execute(statement);
    if (!error.empty()) ReportError(error);
    idle_.Once();
    transcript_.HandlerCalls();
  }
  return errors_ == errorsBefore;
}

std::string ScriptRunner::Execute(const Statement& statement) {
  if (const auto* made = std::get_if<NewInstance>(&statement)) return Make(*made);
  if (const auto* call = std::get_if<MethodCall>(&statement)) return Call(*call);
  if (const auto* command = std::get_if<HostCommand>(&statement)) return Run(*command);
  if (const auto* definition = std::get_if<HandlerDefinition>(&statement)) return Define(*definition);
  return "";
}

std::string ScriptRunner::Make(const NewInstance& made) {
  if (FoldCase(made.xtra) != FoldCase(catalog_.xtraName()))
    return "no Xtra named \"" + made.xtra + "\" is loaded; this is xtra \"" + catalog_.xtraName() + "\"";
  const auto found = instances_.find(FoldCase(made.name));
  if (found != instances_.end() && !found->second.forgottenOnLine)
    return made.name + " holds an instance already; forget(" + made.name + ") first";
  auto instance = std::make_unique<ScriptInstance>(host_);
  if (!instance->alive()) return "new failed: " + instance->error();
  transcript_.Result(FormatLiteral(host_.values(), instance->self()));
  instances_[FoldCase(made.name)] = NamedInstance{made.name, std::move(instance), 0};
  return "";
}

std::string ScriptRunner::Call(const MethodCall& call) {
  const auto found = instances_.find(FoldCase(call.instance));
  if (found == instances_.end())
    return "no instance named " + call.instance + "; make one with " + call.instance + " = new(xtra \"" +
           catalog_.xtraName() + "\")";
  NamedInstance& named = found->second;
  if (named.forgottenOnLine) return named.name + " was forgotten on line " + std::to_string(named.forgottenOnLine);
  const MethodEntry* method = catalog_.Find(call.method);
  if (!method) return catalog_.xtraName() + " has no method " + call.method + " (the command methods lists them)";
  if (!method->Accepts(call.arguments.count))
    return method->name + " takes " + method->ExpectedArguments() + " after the instance, not " +
           std::to_string(call.arguments.count);

  const auto start = std::chrono::steady_clock::now();
  const std::string result = named.instance->Call(method->selector, call.arguments.text);
  const double milliseconds = options_.timings ? MillisecondsSince(start) : -1;
  if (IsError(result)) return method->name + " failed: " + result;
  transcript_.Result(result, milliseconds);
  if (method->selector == ScriptInstance::kForgetSelector) {
    named.forgottenOnLine = line_;
    named.instance->Dispose();
  }
  return "";
}

std::string ScriptRunner::Run(const HostCommand& command) {
  for (const CommandInfo& info : commands_) {
    if (FoldCase(command.name) != info.name) continue;
    CommandArguments arguments(command.arguments);
    CommandContext context{arguments, transcript_, idle_, catalog_};
    if (info.run(context)) return "";
    return info.name + std::string(": ") + arguments.error() + " (usage: " + info.usage + ")";
  }
  if (const MethodEntry* method = catalog_.Find(command.name))
    return method->name + " is a method: call it as " + method->name + "(hid) or hid." + method->name + "()";
  std::string known;
  for (const CommandInfo& info : commands_) known += (known.empty() ? "" : ", ") + std::string(info.name);
  return "unknown command " + command.name + " (commands: " + known + ")";
}

std::string ScriptRunner::Define(const HandlerDefinition& definition) {
  host_.player().Define(definition.handler, [this, definition](const std::vector<MoaMmValue>&) {
    transcript_.HandlerCalls();
    Transcript::Nesting nested(transcript_);
    transcript_.Statement(definition.bodyText);
    const std::string error = Execute(*definition.body);
    if (!error.empty()) ReportError(error);
    return MoaMmValue{};
  });
  return "";
}

int ScriptRunner::Finish() {
  for (auto& [key, named] : instances_) {
    if (named.forgottenOnLine) continue;
    transcript_.Note(named.name + " was never forgotten; xtrahost forgets it");
    named.instance->Forget();
    named.instance->Dispose();
  }
  instances_.clear();
  line_ = 0;
  host_.module().AwaitUnloadable(std::chrono::seconds(2));
  for (const std::string& leak : host_.Leaks()) ReportError("left behind: " + leak);
  for (const std::string& leak : SystemLeaks()) ReportError("left behind: " + leak);
  return errors_;
}

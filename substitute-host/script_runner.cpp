#include "script_runner.h"

#include <chrono>

#include "host_platform.h"
#include "lingo_literals.h"

using namespace director;

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
      commands_(HostCommands()) {
  host_.watch().SetListener([this](const std::string& misuse) {
    if (misuse == lastMisuse_ && line_ == lastMisuseLine_) return;
    lastMisuse_ = misuse;
    lastMisuseLine_ = line_;
    ReportError("misuse: " + misuse);
  });
}

void ScriptRunner::ReportRegistration(const std::vector<std::string>& misuses) {
  for (const std::string& misuse : misuses) {
    ++errors_;
    transcript_.Error("at registration", "misuse: " + misuse);
  }
}

ScriptRunner::~ScriptRunner() { host_.watch().SetListener(nullptr); }

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
    if (MovieIdlesAfter(statement)) idle_.Once();
    transcript_.HandlerCalls();
  }
  return errors_ == errorsBefore;
}

std::string ScriptRunner::Execute(const Statement& statement) {
  if (const auto* made = std::get_if<NewInstance>(&statement)) return Make(*made);
  if (const auto* call = std::get_if<MethodCall>(&statement)) return Call(*call);
  if (const auto* command = std::get_if<HostCommand>(&statement)) return Run(*command);
  if (const auto* definition = std::get_if<HandlerDefinition>(&statement)) return Define(*definition);
  if (const auto* drop = std::get_if<DropReference>(&statement)) return Drop(*drop);
  return "";
}

std::string ScriptRunner::CheckXtraName(const std::string& xtra) const {
  if (FoldCase(xtra) == FoldCase(catalog_.xtraName())) return "";
  return "no Xtra named \"" + xtra + "\" is loaded; this is xtra \"" + catalog_.xtraName() + "\"";
}

std::string ScriptRunner::Make(const NewInstance& made) {
  const std::string wrongXtra = CheckXtraName(made.xtra);
  if (!wrongXtra.empty()) return wrongXtra;
  const auto found = instances_.find(FoldCase(made.name));
  if (found != instances_.end() && !found->second.forgottenOnLine)
    return made.name + " holds an instance already; forget(" + made.name + ") first";
  auto instance = std::make_unique<ScriptInstance>(host_);
  if (!instance->alive()) return "new failed: " + instance->error();
  transcript_.Result(FormatLiteral(host_.values(), instance->self()));
  instances_[FoldCase(made.name)] = NamedInstance{made.name, std::move(instance), 0};
  return "";
}

// As when the movie lets go of its variable: with the last reference the
// host calls forget.
std::string ScriptRunner::Drop(const DropReference& drop) {
  const auto found = instances_.find(FoldCase(drop.name));
  if (found == instances_.end()) return "no instance named " + drop.name;
  NamedInstance& named = found->second;
  if (!named.forgottenOnLine) {
    named.forgottenOnLine = line_;
    named.instance->Dispose();
  }
  return "";
}

std::string ScriptRunner::Target(const MethodCall& call, const MethodEntry& method, ScriptInstance** instance) {
  if (call.instance.empty()) {
    if (!call.xtra.empty() && !method.parent)
      return method.name + " is no parent (+) handler: call it on an instance, e.g. " + method.name + "(hid)";
    if (call.xtra.empty() && !method.global && method.takesInstance)
      return method.name + " needs the instance first, e.g. " + method.name + "(hid)";
    const std::string wrongXtra = CheckXtraName(call.xtra.empty() ? catalog_.xtraName() : call.xtra);
    if (!wrongXtra.empty()) return wrongXtra;
    if (!xtraLevel_) xtraLevel_ = ScriptInstance::ForXtraHandlers(host_);
    if (!xtraLevel_->alive()) return "the host could not make the Xtra's own instance: " + xtraLevel_->error();
    *instance = xtraLevel_.get();
    return "";
  }
  const auto found = instances_.find(FoldCase(call.instance));
  if (found == instances_.end())
    return "no instance named " + call.instance + "; make one with " + call.instance + " = new(xtra \"" +
           catalog_.xtraName() + "\")";
  NamedInstance& named = found->second;
  if (named.forgottenOnLine) return named.name + " was forgotten on line " + std::to_string(named.forgottenOnLine);
  *instance = named.instance.get();
  return "";
}

std::string ScriptRunner::Call(const MethodCall& call) {
  const MethodEntry* method = catalog_.Find(call.method);
  if (!method) return catalog_.xtraName() + " has no method " + call.method + " (the command methods lists them)";
  ScriptInstance* instance = nullptr;
  const std::string wrongTarget = Target(call, *method, &instance);
  if (!wrongTarget.empty()) return wrongTarget;
  const char* after = call.instance.empty() && call.xtra.empty() ? "" : " after the instance";
  if (!method->Accepts(call.arguments.count))
    return method->name + " takes " + method->ExpectedArguments() + after + ", not " +
           std::to_string(call.arguments.count);

  // forget(hid) says what hid = VOID says, with forget's answer shown.
  const bool forget = method->selector == ScriptInstance::kForgetSelector && !call.instance.empty();
  const auto start = std::chrono::steady_clock::now();
  const std::string result = forget ? instance->Forget() : instance->Call(method->selector, call.arguments.text);
  const double milliseconds = options_.timings ? MillisecondsSince(start) : -1;
  if (IsError(result)) return method->name + " failed: " + result;
  if (call.put || !options_.answersOnlyAfterPut) transcript_.Result(result, milliseconds);
  if (forget) {
    NamedInstance& named = instances_.at(FoldCase(call.instance));
    named.forgottenOnLine = line_;
    named.instance->Dispose();
  }
  return "";
}

const CommandInfo* ScriptRunner::FindCommand(const std::string& name) const {
  for (const CommandInfo& info : commands_)
    if (FoldCase(name) == info.name) return &info;
  return nullptr;
}

bool ScriptRunner::MovieIdlesAfter(const Statement& statement) const {
  const auto* command = std::get_if<HostCommand>(&statement);
  const CommandInfo* info = command ? FindCommand(command->name) : nullptr;
  return !info || info->movieIdlesAfter;
}

ScriptInstance* ScriptRunner::InstanceNamed(const std::string& name) {
  const auto found = instances_.find(FoldCase(name));
  if (found == instances_.end() || found->second.forgottenOnLine) return nullptr;
  return found->second.instance.get();
}

std::string ScriptRunner::Run(const HostCommand& command) {
  if (const CommandInfo* info = FindCommand(command.name)) {
    CommandArguments arguments(command.arguments);
    CommandContext context{arguments, transcript_, idle_, catalog_, host_,
                           [this](const std::string& name) { return InstanceNamed(name); }};
    if (info->run(context)) return "";
    return info->name + std::string(": ") + arguments.error() + " (usage: " + info->usage + ")";
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
    return kVoidMoaMmValue;
  });
  return "";
}

int ScriptRunner::Finish() {
  line_ = 0;
  for (auto& [key, named] : instances_) {
    if (named.forgottenOnLine) continue;
    transcript_.Note(named.name + " was never forgotten; xtrahost forgets it");
    named.instance->Forget();
    named.instance->Dispose();
  }
  instances_.clear();
  xtraLevel_.reset();
  line_ = 0;
  host_.module().AwaitUnloadable(std::chrono::seconds(2));
  UnplugScriptDevices();
  for (const std::string& leak : host_.LeftBehind()) ReportError("left behind: " + leak);
  for (const std::string& leak : SystemLeaks()) ReportError("left behind: " + leak);
  return errors_;
}

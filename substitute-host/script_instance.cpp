#include "script_instance.h"

#include <cstdio>
#include <utility>

#include "host_errors.h"
#include "lingo_literals.h"

ScriptInstance::ScriptInstance(DirectorHost& host) : values_(host.values()) {
  HostInstance* instance = host.CreateInstance();
  if (!instance) {
    Refuse(kHostErr_NoInstance, host.error());
    return;
  }
  void* script = nullptr;
  const MoaError status = instance->QueryInterface(&IID_IMoaMmXScript, &script);
  if (status != kMoaErr_NoErr) {
    instance->Release();
    Refuse(status, "the instance serves no script interface");
    return;
  }
  Start(instance, static_cast<IMoaMmXScript*>(script), host.xtraName());
}

ScriptInstance::ScriptInstance(LingoValueStore& values, IMoaUnknown* instance, IMoaMmXScript* script,
                               const std::string& className)
    : values_(values) {
  Start(instance, script, className);
}

void ScriptInstance::Start(IMoaUnknown* instance, IMoaMmXScript* script, const std::string& className) {
  instance_ = instance;
  script_ = script;
  self_ = values_.Object(instance, className);
  MoaMmValue result{};
  if (CallWithValues(kNewSelector, {}, &result) != kMoaErr_NoErr) return Dispose();
  values_.Release(result);
}

void ScriptInstance::Refuse(MoaError status, std::string why) {
  status_ = status;
  error_ = std::move(why);
}

std::string ScriptInstance::ErrorText() const {
  char status[16];
  std::snprintf(status, sizeof status, "0x%08X", static_cast<unsigned>(status_));
  return "<Error " + std::string(status) + (error_.empty() ? "" : ": " + error_) + ">";
}

MoaError ScriptInstance::CallWithValues(MoaLong selector, const std::vector<MoaMmValue>& arguments,
                                        MoaMmValue* result) {
  *result = MoaMmValue{};
  if (!script_) {
    Refuse(kHostErr_NoInstance, "no live instance");
    return status_;
  }
  std::vector<MoaMmValue> all{self_};
  all.insert(all.end(), arguments.begin(), arguments.end());
  MoaMmCallInfo info{selector, MoaMmValue{}, static_cast<MoaLong>(all.size()), all.data()};
  // Held for the call: a movie handler it runs may dispose of this object.
  IMoaMmXScript* script = script_;
  const MoaMmValue self = self_;
  script->AddRef();
  values_.AddRef(self);
  const MoaError status = script->Call(&info);
  values_.Release(self);
  script->Release();

  if (status != kMoaErr_NoErr) {
    values_.Release(info.resultValue);
    Refuse(status, "the Xtra refused selector " + std::to_string(selector));
    return status;
  }
  Refuse(kMoaErr_NoErr, "");
  *result = info.resultValue;
  return kMoaErr_NoErr;
}

std::string ScriptInstance::Call(MoaLong selector, const std::string& lingoArguments) {
  std::vector<MoaMmValue> arguments;
  std::string unreadable;
  if (!ParseLiterals(values_, lingoArguments, &arguments, &unreadable)) {
    Refuse(kHostErr_BadLiteral, "arguments: " + unreadable);
    return ErrorText();
  }
  MoaMmValue result{};
  const MoaError status = CallWithValues(selector, arguments, &result);
  for (const MoaMmValue& argument : arguments) values_.Release(argument);
  if (status != kMoaErr_NoErr) return ErrorText();
  std::string text = FormatLiteral(values_, result);
  values_.Release(result);
  return text;
}

void ScriptInstance::Dispose() {
  if (!script_) return;
  // The script interface first: its references are on the instance too.
  std::exchange(script_, nullptr)->Release();
  values_.Release(std::exchange(self_, MoaMmValue{}));
  std::exchange(instance_, nullptr)->Release();
}

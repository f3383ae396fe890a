#include "script_instance.h"

#include <cstdio>
#include <utility>

#include "lingo_literals.h"
#include "xtra_calls.h"

using namespace director;

namespace {

// What Director leaves in the call record's reserved fields: recognisable,
// and unusable as a pointer.
void* const kReservedInstance = reinterpret_cast<void*>(static_cast<uintptr_t>(0xBAD1));
constexpr MoaLong kReservedFlags = 0x4A554E4B;  // "JUNK"

// One call through IMoaMmXScript::Call, argument 0 first. The caller owns
// the arguments: the Xtra may neither change nor release them.
MoaError CallXtra(HostWatch& watch, IMoaMmXScript* script, MoaLong selector, const std::vector<MoaMmValue>& arguments,
                  MoaMmValue* result) {
  std::vector<MoaMmValue> passed = arguments;
  MoaMmCallInfo info{kReservedInstance, kReservedFlags, selector, kVoidMoaMmValue, static_cast<MoaLong>(passed.size()),
                     passed.data()};
  const size_t owned = watch.Own(arguments);
  const MoaError status = xtra::Call(script, &info);
  const std::vector<int> released = watch.Disown(owned);
  const std::string call = "IMoaMmXScript::Call of selector " + std::to_string(selector);
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (passed[i].ty != arguments[i].ty || passed[i].it != arguments[i].it)
      watch.Misuse(call + ": changed argument " + std::to_string(i) + ", which the caller owns");
    if (released[i] > 0) watch.Misuse(call + ": released argument " + std::to_string(i) + ", which the caller owns");
  }
  if (IsNull(info.resultValue)) {
    watch.Misuse(call + ": a null result {0,0}; void is {2,0}");
    info.resultValue = kVoidMoaMmValue;
  }
  *result = info.resultValue;
  return status;
}

}  // namespace

// Shared by the ScriptInstance and its object value, whose end runs forget.
struct ScriptInstance::Link {
  IMoaUnknown* instance = nullptr;
  IMoaMmXScript* script = nullptr;
  bool forgetDue = false;  // new succeeded and forget has not run

  // The object's last reference is going: forget, then let the instance go.
  void End(LingoValueStore& values, HostWatch& watch, const MoaMmValue& self) {
    if (std::exchange(forgetDue, false)) {
      MoaMmValue result = kVoidMoaMmValue;
      CallXtra(watch, script, kForgetSelector, {self}, &result);
      values.Release(result);
    }
    xtra::Release(std::exchange(script, nullptr));
    xtra::Release(std::exchange(instance, nullptr));
  }
};

ScriptInstance::ScriptInstance(LingoValueStore& values, HostWatch& watch)
    : values_(values), watch_(watch), link_(std::make_shared<Link>()) {}

ScriptInstance::ScriptInstance(DirectorHost& host) : ScriptInstance(host.values(), host.watch()) {
  IMoaUnknown* instance = nullptr;
  IMoaMmXScript* script = nullptr;
  if (Adopt(host, &instance, &script)) Start(instance, script, host.xtraName());
}

std::unique_ptr<ScriptInstance> ScriptInstance::ForXtraHandlers(DirectorHost& host) {
  std::unique_ptr<ScriptInstance> xtraLevel(new ScriptInstance(host.values(), host.watch()));
  IMoaUnknown* instance = nullptr;
  IMoaMmXScript* script = nullptr;
  if (!xtraLevel->Adopt(host, &instance, &script)) return xtraLevel;
  xtraLevel->link_->instance = instance;
  xtraLevel->link_->script = script;
  xtraLevel->self_ = host.values().XtraReference(host.xtraName(), xtraLevel->EndOfObject());
  return xtraLevel;
}

ScriptInstance::ScriptInstance(LingoValueStore& values, HostWatch& watch, IMoaUnknown* instance, IMoaMmXScript* script,
                               const std::string& className)
    : ScriptInstance(values, watch) {
  Start(instance, script, className);
}

bool ScriptInstance::Adopt(DirectorHost& host, IMoaUnknown** instance, IMoaMmXScript** script) {
  HostInstance* made = host.CreateInstance();
  if (!made) {
    Refuse(kHostErr_NoInstance, host.error());
    return false;
  }
  void* served = nullptr;
  const MoaError status = made->QueryInterface(&IID_IMoaMmXScript, &served);
  if (status != kMoaErr_NoErr) {
    made->Release();
    Refuse(status, "the instance serves no script interface");
    return false;
  }
  *instance = made->unknown();
  *script = static_cast<IMoaMmXScript*>(served);
  return true;
}

void ScriptInstance::Start(IMoaUnknown* instance, IMoaMmXScript* script, const std::string& className) {
  link_->instance = instance;
  link_->script = script;
  self_ = values_.Object(className, EndOfObject());
  MoaMmValue result = kVoidMoaMmValue;
  if (CallWithValues(kNewSelector, {}, &result) != kMoaErr_NoErr) return Dispose();
  values_.Release(result);
  link_->forgetDue = true;
}

std::function<void(const MoaMmValue&)> ScriptInstance::EndOfObject() {
  return [link = link_, &values = values_, &watch = watch_](const MoaMmValue& self) { link->End(values, watch, self); };
}

bool ScriptInstance::alive() const { return !IsVoid(self_) && link_->script != nullptr; }

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
  *result = kVoidMoaMmValue;
  if (!alive()) {
    Refuse(kHostErr_NoInstance, "no live instance");
    return status_;
  }
  std::vector<MoaMmValue> all{self_};
  all.insert(all.end(), arguments.begin(), arguments.end());
  // Held for the call: a movie handler it runs may dispose of this object.
  IMoaMmXScript* script = link_->script;
  const MoaMmValue self = self_;
  xtra::AddRef(script);
  values_.AddRef(self);
  MoaMmValue answer = kVoidMoaMmValue;
  const MoaError status = CallXtra(watch_, script, selector, all, &answer);
  values_.Release(self);
  xtra::Release(script);

  if (status != kMoaErr_NoErr) {
    values_.Release(answer);
    Refuse(status, "the Xtra refused selector " + std::to_string(selector));
    return status;
  }
  Refuse(kMoaErr_NoErr, "");
  *result = answer;
  return kMoaErr_NoErr;
}

std::string ScriptInstance::Call(MoaLong selector, const std::string& lingoArguments) {
  std::vector<MoaMmValue> arguments;
  std::string unreadable;
  if (!ParseLiterals(values_, lingoArguments, &arguments, &unreadable)) {
    Refuse(kHostErr_BadLiteral, "arguments: " + unreadable);
    return ErrorText();
  }
  MoaMmValue result = kVoidMoaMmValue;
  const MoaError status = CallWithValues(selector, arguments, &result);
  for (const MoaMmValue& argument : arguments) values_.Release(argument);
  if (status != kMoaErr_NoErr) return ErrorText();
  std::string text = FormatLiteral(values_, result);
  values_.Release(result);
  return text;
}

std::string ScriptInstance::Forget() {
  link_->forgetDue = false;
  return Call(kForgetSelector);
}

void ScriptInstance::Dispose() { values_.Release(std::exchange(self_, kVoidMoaMmValue)); }

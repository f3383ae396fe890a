// A script instance as Lingo holds one: made by new, called by selector with
// itself as argument 0, forgotten and let go. Whatever the host makes for a
// call it releases again, so that only the Xtra's own leaks remain.
#pragma once

#include <string>
#include <vector>

#include "director_host.h"

class ScriptInstance {
 public:
  // new(xtra "HidBridge"): makes the instance and calls its new handler.
  explicit ScriptInstance(DirectorHost& host);
  // The same around an instance and its script interface made elsewhere (a
  // fake in the host's own tests); adopts one reference of each.
  ScriptInstance(LingoValueStore& values, IMoaUnknown* instance, IMoaMmXScript* script, const std::string& className);
  ~ScriptInstance() { Dispose(); }
  ScriptInstance(const ScriptInstance&) = delete;
  ScriptInstance& operator=(const ScriptInstance&) = delete;

  // False when new failed or after Dispose.
  bool alive() const { return script_ != nullptr; }
  // Of new or of the last call, with what went wrong when it is not 0.
  MoaError status() const { return status_; }
  const std::string& error() const { return error_; }

  // The handler's result as a Lingo literal, e.g. Call(10, "\"A\", 1"), or
  // "<Error 0x80040016: ...>" when the arguments, the instance or the Xtra
  // fail. Never literal text: no Lingo value prints as <Error.
  std::string Call(MoaLong selector, const std::string& lingoArguments = "");
  // The arguments stay the caller's; a result comes with one reference for
  // the caller, void on failure.
  MoaError CallWithValues(MoaLong selector, const std::vector<MoaMmValue>& arguments, MoaMmValue* result);
  std::string Forget() { return Call(kForgetSelector); }
  // Lets go of the script interface and the host's references; the
  // instance's data goes once the Xtra holds none either.
  void Dispose();

  const MoaMmValue& self() const { return self_; }

  static constexpr MoaLong kNewSelector = 0;
  static constexpr MoaLong kForgetSelector = 1;

 private:
  void Start(IMoaUnknown* instance, IMoaMmXScript* script, const std::string& className);
  void Refuse(MoaError status, std::string why);
  std::string ErrorText() const;

  LingoValueStore& values_;
  IMoaUnknown* instance_ = nullptr;
  IMoaMmXScript* script_ = nullptr;
  MoaMmValue self_{};
  MoaError status_ = kMoaErr_NoErr;
  std::string error_;
};

// A script object as Lingo holds one: made by new, called by selector with
// itself as argument 0, and forgotten by the host when the script drops its
// last reference, as Director does. Whatever the host makes for a call it
// releases again, so that only the Xtra's own leaks remain.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "director_host.h"

class ScriptInstance {
 public:
  // new(xtra "HidBridge"): makes the instance and calls its new handler.
  explicit ScriptInstance(DirectorHost& host);
  // The instance Director makes itself for the Xtra's parent (+) and global
  // (*) handlers: new is never called on it, nor forget, and argument 0 of
  // its calls is the Xtra reference.
  static std::unique_ptr<ScriptInstance> ForXtraHandlers(DirectorHost& host);
  // The same as the first around an instance and its script interface made
  // elsewhere (a fake in the host's own tests); adopts one reference of each.
  ScriptInstance(LingoValueStore& values, HostWatch& watch, director::IMoaUnknown* instance,
                 director::IMoaMmXScript* script, const std::string& className);
  ~ScriptInstance() { Dispose(); }
  ScriptInstance(const ScriptInstance&) = delete;
  ScriptInstance& operator=(const ScriptInstance&) = delete;

  // False when new failed or after Dispose.
  bool alive() const;
  // Of new or of the last call, with what went wrong when it is not 0.
  director::MoaError status() const { return status_; }
  const std::string& error() const { return error_; }

  // The handler's result as a Lingo literal, e.g. Call(10, "\"A\", 1"), or
  // "<Error 0x80040016: ...>" when the arguments, the instance or the Xtra
  // fail. Never literal text: no Lingo value prints as <Error.
  std::string Call(director::MoaLong selector, const std::string& lingoArguments = "");
  // The arguments stay the caller's; a result comes with one reference for
  // the caller, void on failure.
  director::MoaError CallWithValues(director::MoaLong selector, const std::vector<director::MoaMmValue>& arguments,
                                    director::MoaMmValue* result);
  // Calls forget now; the host will not call it again when the object goes.
  std::string Forget();
  // Drops this reference to the object. When it was the last, the host
  // calls forget (unless Forget did) and lets go of the instance.
  void Dispose();

  const director::MoaMmValue& self() const { return self_; }

  static constexpr director::MoaLong kNewSelector = 0;
  static constexpr director::MoaLong kForgetSelector = 1;

 private:
  struct Link;

  ScriptInstance(LingoValueStore& values, HostWatch& watch);
  // What the object value runs when its last reference goes.
  std::function<void(const director::MoaMmValue&)> EndOfObject();
  void Start(director::IMoaUnknown* instance, director::IMoaMmXScript* script, const std::string& className);
  bool Adopt(DirectorHost& host, director::IMoaUnknown** instance, director::IMoaMmXScript** script);
  void Refuse(director::MoaError status, std::string why);
  std::string ErrorText() const;

  LingoValueStore& values_;
  HostWatch& watch_;
  std::shared_ptr<Link> link_;
  director::MoaMmValue self_ = director::kVoidMoaMmValue;
  director::MoaError status_ = director::kMoaErr_NoErr;
  std::string error_;
};

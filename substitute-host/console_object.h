// The console's own script object: the author's commands call the Xtra's
// methods by name on it, as a movie would, so that what they show is what a
// movie gets. It never shows a message box, and it is forgotten when the
// command ends, with whatever it filed for the movie's handlers.
#pragma once

#include <string>
#include <vector>

#include "director_host.h"
#include "method_catalog.h"
#include "script_instance.h"

// A value the console holds one reference on, given back when it goes.
class HeldValue {
 public:
  HeldValue(LingoValueStore& values, director::MoaMmValue value) : values_(&values), value_(value) {}
  HeldValue(HeldValue&& other) noexcept : values_(other.values_), value_(other.value_) {
    other.value_ = director::kVoidMoaMmValue;
  }
  HeldValue& operator=(HeldValue&& other) noexcept;
  HeldValue(const HeldValue&) = delete;
  HeldValue& operator=(const HeldValue&) = delete;
  ~HeldValue() { values_->Release(value_); }

  const director::MoaMmValue& value() const { return value_; }
  const LingoValue& lingo() const;
  bool IsText() const { return lingo().type == director::kMoaMmValueType_String; }
  // A property's value, or nullptr when the list lacks it.
  const LingoValue* Property(const std::string& name) const;
  director::MoaLong Integer(const std::string& property) const;
  std::string Text(const std::string& property) const;
  std::string Literal() const;

 private:
  LingoValueStore* values_;
  director::MoaMmValue value_;
};

class ConsoleObject {
 public:
  ConsoleObject(DirectorHost& host, const MethodCatalog& catalog);
  ~ConsoleObject();
  ConsoleObject(const ConsoleObject&) = delete;
  ConsoleObject& operator=(const ConsoleObject&) = delete;

  // Empty when the object was made, else why not.
  const std::string& error() const { return error_; }

  // The method's answer; VOID when the Xtra has no such method or the call
  // failed in the host (error() says why). The arguments stay the caller's.
  HeldValue Call(const char* method, const std::vector<director::MoaMmValue>& arguments = {});

  HeldValue Integer(director::MoaLong number) { return {host_.values(), host_.values().Integer(number)}; }
  HeldValue String(const std::string& text) { return {host_.values(), host_.values().String(text)}; }
  HeldValue Symbol(const std::string& name) { return {host_.values(), host_.values().Symbol(name)}; }

 private:
  DirectorHost& host_;
  const MethodCatalog& catalog_;
  ScriptInstance instance_;
  std::string error_;
};

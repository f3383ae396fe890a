// The host's Lingo values. A MoaMmValue names a slot of the store and the
// serial number the value got when it was made, so a released value (whose
// slot may hold another value by now) or a made-up one is recognised and
// refused instead of followed. Void is Director's {2,0} and is not counted;
// no handle is {0,0}, the null initializer, or has the void's 2 as its first
// half.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "director_abi.h"
#include "text_encoding.h"

struct LingoValue {
  director::MoaLong type = director::kMoaMmValueType_Void;  // as ValueType answers it
  director::MoaLong integer = 0;                            // an integer, a symbol number or an object's number
  double number = 0;                                        // a float
  std::string text;                         // a string, in the host's encoding; an object's or Xtra's name
  std::vector<director::MoaMmValue> items;  // a list's elements, a property list's values
  std::vector<director::MoaMmValue> keys;   // a property list's keys, beside its values
  bool xtraReference = false;               // the Xtra itself, as `xtra "Name"` gives it
  // An object's: runs once, when its last reference goes, while the value
  // still lives; whatever the object holds goes with it.
  std::function<void(const director::MoaMmValue& self)> lastReference;
};

class LingoValueStore {
 public:
  LingoValueStore() = default;
  LingoValueStore(const LingoValueStore&) = delete;
  LingoValueStore& operator=(const LingoValueStore&) = delete;

  // How the host's strings are encoded: UTF-8 (Director 11 on) by default.
  TextEncoding encoding() const { return encoding_; }
  void SetEncoding(TextEncoding encoding) { encoding_ = encoding; }

  // New values, each with one reference for the caller.
  director::MoaMmValue Integer(director::MoaLong number);
  director::MoaMmValue Float(double number);
  // The bytes as the host holds them.
  director::MoaMmValue String(std::string text);
  // Void for a symbol number that Intern never answered.
  director::MoaMmValue Symbol(director::MoaMmSymbol symbol);
  director::MoaMmValue Symbol(const std::string& name) { return Symbol(Intern(name)); }
  director::MoaMmValue List();
  director::MoaMmValue PropList();
  director::MoaMmValue Picture();
  // A child object, e.g. argument 0 of a child handler's calls.
  director::MoaMmValue Object(std::string className, std::function<void(const director::MoaMmValue&)> lastReference);
  // xtra "Name": argument 0 of the Xtra's parent and global handlers.
  director::MoaMmValue XtraReference(std::string xtraName,
                                     std::function<void(const director::MoaMmValue&)> lastReference);

  // Symbols compare without regard to case, as in Lingo, and keep the
  // spelling they were first interned with. They live as long as the store.
  director::MoaMmSymbol Intern(const std::string& name);
  const std::string* SymbolName(director::MoaMmSymbol symbol) const;

  // The value behind a handle: void's for void, null for null, a released or
  // made-up handle (counted as a bad use).
  const LingoValue* Find(const director::MoaMmValue& value) const;
  director::MoaError AddRef(const director::MoaMmValue& value);
  // At zero the value goes, and with it the references it held.
  director::MoaError Release(const director::MoaMmValue& value);
  // The list takes a reference of its own on what it is given.
  director::MoaError Append(const director::MoaMmValue& list, const director::MoaMmValue& item);
  director::MoaError AppendProperty(const director::MoaMmValue& propList, const director::MoaMmValue& key,
                                    const director::MoaMmValue& item);

  // References a value holds now; 0 for void and for bad handles.
  int references(const director::MoaMmValue& value) const;
  size_t liveValues() const { return slots_.size() - free_.size(); }
  int badUses() const { return badUses_; }
  // One line per value that something outside the store still holds, one
  // for values kept alive only by lists that hold each other, and one for
  // bad uses.
  std::vector<std::string> Leaks() const;

 private:
  struct Slot {
    uint32_t serial = 0;  // 0 while the slot is free
    int references = 0;
    LingoValue value;
  };

  director::MoaMmValue Make(LingoValue value);
  director::MoaMmValue Handle(size_t index) const;
  const Slot* Resolve(const director::MoaMmValue& value) const;
  Slot* Resolve(const director::MoaMmValue& value);
  std::vector<director::MoaMmValue> Roots() const;

  std::deque<Slot> slots_;
  std::vector<uint32_t> free_;
  uint32_t nextSerial_ = 1;
  director::MoaLong nextObjectNumber_ = 1;
  std::vector<std::string> symbols_;
  TextEncoding encoding_ = TextEncoding::kUtf8;
  mutable int badUses_ = 0;
};

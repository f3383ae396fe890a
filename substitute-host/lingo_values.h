// The host's Lingo values. A MoaMmValue names a slot of the store and the
// serial number the value got when it was made, so a released value (whose
// slot may hold another value by now) or a made-up one is recognised and
// refused instead of followed. Void is the all-zero value and is not counted.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "host/moa_contract.h"

// Script instances as values, e.g. argument 0 of every call.
constexpr MoaLong kHostValueType_Object = 12;

struct LingoValue {
  MoaLong type = kMoaMmValueType_Void;
  MoaLong integer = 0;             // an integer, a symbol number or an object's number
  double number = 0;               // a float
  std::string text;                // a string, or an object's class name
  std::vector<MoaMmValue> items;   // a list's elements, a property list's values
  std::vector<MoaMmValue> keys;    // a property list's keys, beside its values
  IMoaUnknown* object = nullptr;   // the instance an object value keeps alive
};

inline bool IsVoid(const MoaMmValue& value) { return value.opaque[0] == 0 && value.opaque[1] == 0; }

class LingoValueStore {
 public:
  LingoValueStore() = default;
  LingoValueStore(const LingoValueStore&) = delete;
  LingoValueStore& operator=(const LingoValueStore&) = delete;

  // New values, each with one reference for the caller.
  MoaMmValue Integer(MoaLong number);
  MoaMmValue Float(double number);
  MoaMmValue String(std::string text);
  // Void for a symbol number that Intern never answered.
  MoaMmValue Symbol(MoaMmSymbol symbol);
  MoaMmValue Symbol(const std::string& name) { return Symbol(Intern(name)); }
  MoaMmValue List();
  MoaMmValue PropList();
  MoaMmValue Picture();
  // Holds a reference on the instance until the value goes.
  MoaMmValue Object(IMoaUnknown* instance, std::string className);

  // Symbols compare without regard to case, as in Lingo, and keep the
  // spelling they were first interned with. They live as long as the store.
  MoaMmSymbol Intern(const std::string& name);
  const std::string* SymbolName(MoaMmSymbol symbol) const;

  // The value behind a handle: void's for void, null for a released or
  // made-up handle (counted as a bad use).
  const LingoValue* Find(const MoaMmValue& value) const;
  MoaError AddRef(const MoaMmValue& value);
  // At zero the value goes, and with it the references it held.
  MoaError Release(const MoaMmValue& value);
  // The list takes a reference of its own on what it is given.
  MoaError Append(const MoaMmValue& list, const MoaMmValue& item);
  MoaError AppendProperty(const MoaMmValue& propList, const MoaMmValue& key, const MoaMmValue& item);

  // References a value holds now; 0 for void and for bad handles.
  int references(const MoaMmValue& value) const;
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

  MoaMmValue Make(LingoValue value);
  const Slot* Resolve(const MoaMmValue& value) const;
  Slot* Resolve(const MoaMmValue& value);
  std::vector<MoaMmValue> Roots() const;

  std::deque<Slot> slots_;
  std::vector<uint32_t> free_;
  uint32_t nextSerial_ = 1;
  MoaLong nextObjectNumber_ = 1;
  std::vector<std::string> symbols_;
  mutable int badUses_ = 0;
};

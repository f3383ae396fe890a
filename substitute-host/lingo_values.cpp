#include "lingo_values.h"

#include <map>
#include <utility>

#include "host_errors.h"
#include "lingo_literals.h"

using namespace director;

namespace {

// Handles start far from void's {2,0}, so that an Xtra that looks at the
// first half alone still never takes a value for void.
constexpr MoaLong kFirstHandle = 0x100;

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

const LingoValue kVoid{};

// Leak reports quote values, but a huge list would drown the report.
std::string Shortened(std::string text) {
  constexpr size_t kLongest = 120;
  if (text.size() > kLongest) text = text.substr(0, kLongest) + "...";
  return text;
}

}  // namespace

MoaMmValue LingoValueStore::Make(LingoValue value) {
  uint32_t index;
  if (free_.empty()) {
    index = static_cast<uint32_t>(slots_.size());
    slots_.emplace_back();
  } else {
    index = free_.back();
    free_.pop_back();
  }
  Slot& slot = slots_[index];
  slot.serial = nextSerial_++;
  if (nextSerial_ == 0) nextSerial_ = 1;
  slot.references = 1;
  slot.value = std::move(value);
  return Handle(index);
}

MoaMmValue LingoValueStore::Handle(size_t index) const {
  return MoaMmValue{static_cast<MoaLong>(index) + kFirstHandle, static_cast<MoaLong>(slots_[index].serial)};
}

const LingoValueStore::Slot* LingoValueStore::Resolve(const MoaMmValue& value) const {
  const auto index = static_cast<uint32_t>(value.ty - kFirstHandle);
  if (value.ty < kFirstHandle || index >= slots_.size()) return nullptr;
  const Slot& slot = slots_[index];
  if (slot.serial == 0 || slot.serial != static_cast<uint32_t>(value.it)) return nullptr;
  return &slot;
}

LingoValueStore::Slot* LingoValueStore::Resolve(const MoaMmValue& value) {
  return const_cast<Slot*>(std::as_const(*this).Resolve(value));
}

MoaMmValue LingoValueStore::Integer(MoaLong number) {
  LingoValue value;
  value.type = kMoaMmValueType_Integer;
  value.integer = number;
  return Make(std::move(value));
}

MoaMmValue LingoValueStore::Float(double number) {
  LingoValue value;
  value.type = kMoaMmValueType_Float;
  value.number = number;
  return Make(std::move(value));
}

MoaMmValue LingoValueStore::String(std::string text) {
  LingoValue value;
  value.type = kMoaMmValueType_String;
  value.text = std::move(text);
  return Make(std::move(value));
}

MoaMmValue LingoValueStore::Symbol(MoaMmSymbol symbol) {
  if (!SymbolName(symbol)) return kVoidMoaMmValue;
  LingoValue value;
  value.type = kMoaMmValueType_Symbol;
  value.integer = symbol;
  return Make(std::move(value));
}

MoaMmValue LingoValueStore::List() {
  LingoValue value;
  value.type = kMoaMmValueType_List;
  return Make(std::move(value));
}

MoaMmValue LingoValueStore::PropList() {
  LingoValue value;
  value.type = kMoaMmValueType_PropList;
  return Make(std::move(value));
}

MoaMmValue LingoValueStore::Picture() {
  LingoValue value;
  value.type = kMoaMmValueType_Picture;
  return Make(std::move(value));
}

MoaMmValue LingoValueStore::Object(std::string className, std::function<void(const MoaMmValue&)> lastReference) {
  LingoValue value;
  value.type = kMoaMmValueType_Object;
  value.integer = nextObjectNumber_++;
  value.text = std::move(className);
  value.lastReference = std::move(lastReference);
  return Make(std::move(value));
}

MoaMmValue LingoValueStore::XtraReference(std::string xtraName, std::function<void(const MoaMmValue&)> lastReference) {
  LingoValue value;
  value.type = kMoaMmValueType_Object;
  value.text = std::move(xtraName);
  value.xtraReference = true;
  value.lastReference = std::move(lastReference);
  return Make(std::move(value));
}

MoaMmSymbol LingoValueStore::Intern(const std::string& name) {
  for (size_t i = 0; i < symbols_.size(); ++i)
    if (SameNameIgnoringCase(symbols_[i], name)) return static_cast<MoaMmSymbol>(i + 1);
  symbols_.push_back(name);
  return static_cast<MoaMmSymbol>(symbols_.size());
}

const std::string* LingoValueStore::SymbolName(MoaMmSymbol symbol) const {
  if (symbol < 1 || static_cast<size_t>(symbol) > symbols_.size()) return nullptr;
  return &symbols_[static_cast<size_t>(symbol) - 1];
}

const LingoValue* LingoValueStore::Find(const MoaMmValue& value) const {
  if (IsVoid(value)) return &kVoid;
  const Slot* slot = Resolve(value);
  if (!slot) {
    ++badUses_;
    return nullptr;
  }
  return &slot->value;
}

MoaError LingoValueStore::AddRef(const MoaMmValue& value) {
  if (IsVoid(value)) return kMoaErr_NoErr;
  Slot* slot = Resolve(value);
  if (!slot) {
    ++badUses_;
    return kHostErr_BadValue;
  }
  ++slot->references;
  return kMoaErr_NoErr;
}

MoaError LingoValueStore::Release(const MoaMmValue& value) {
  if (IsVoid(value)) return kMoaErr_NoErr;
  if (!Resolve(value)) {
    ++badUses_;
    return kHostErr_BadValue;
  }
  // A worklist rather than recursion: lists may nest arbitrarily deep.
  std::vector<MoaMmValue> pending{value};
  while (!pending.empty()) {
    const MoaMmValue next = pending.back();
    pending.pop_back();
    Slot* slot = Resolve(next);
    if (!slot) continue;
    if (slot->references > 1) {
      --slot->references;
      continue;
    }
    if (slot->value.lastReference) {
      // The object hears of its end while it still lives (it may call the
      // Xtra with itself); then its reference goes as any other.
      const auto hear = std::move(slot->value.lastReference);
      slot->value.lastReference = nullptr;
      hear(next);
      pending.push_back(next);
      continue;
    }
    LingoValue gone = std::move(slot->value);
    slot->value = LingoValue{};
    slot->serial = 0;
    slot->references = 0;
    free_.push_back(static_cast<uint32_t>(next.ty - kFirstHandle));
    pending.insert(pending.end(), gone.items.begin(), gone.items.end());
    pending.insert(pending.end(), gone.keys.begin(), gone.keys.end());
  }
  return kMoaErr_NoErr;
}

MoaError LingoValueStore::Append(const MoaMmValue& list, const MoaMmValue& item) {
  const LingoValue* found = Find(list);
  if (!found || !Find(item)) return kHostErr_BadValue;
  if (found->type != kMoaMmValueType_List) return kHostErr_WrongType;
  AddRef(item);
  Resolve(list)->value.items.push_back(item);
  return kMoaErr_NoErr;
}

MoaError LingoValueStore::AppendProperty(const MoaMmValue& propList, const MoaMmValue& key, const MoaMmValue& item) {
  const LingoValue* found = Find(propList);
  if (!found || !Find(key) || !Find(item)) return kHostErr_BadValue;
  if (found->type != kMoaMmValueType_PropList) return kHostErr_WrongType;
  AddRef(key);
  AddRef(item);
  LingoValue& target = Resolve(propList)->value;
  target.keys.push_back(key);
  target.items.push_back(item);
  return kMoaErr_NoErr;
}

int LingoValueStore::references(const MoaMmValue& value) const {
  const Slot* slot = Resolve(value);
  return slot ? slot->references : 0;
}

// Values referenced more often than the live lists account for.
std::vector<MoaMmValue> LingoValueStore::Roots() const {
  std::map<uint32_t, int> heldByLists;
  for (const Slot& slot : slots_) {
    if (slot.serial == 0) continue;
    for (const MoaMmValue& item : slot.value.items) ++heldByLists[static_cast<uint32_t>(item.it)];
    for (const MoaMmValue& key : slot.value.keys) ++heldByLists[static_cast<uint32_t>(key.it)];
  }
  std::vector<MoaMmValue> roots;
  for (size_t index = 0; index < slots_.size(); ++index) {
    const Slot& slot = slots_[index];
    if (slot.serial != 0 && slot.references > heldByLists[slot.serial]) roots.push_back(Handle(index));
  }
  return roots;
}

std::vector<std::string> LingoValueStore::Leaks() const {
  std::vector<std::string> leaks;
  size_t reachable = 0;
  std::vector<bool> seen(slots_.size());
  std::vector<MoaMmValue> pending;
  for (const MoaMmValue& root : Roots()) {
    leaks.push_back("value " + Shortened(FormatLiteral(*this, root)) + ": " + std::to_string(references(root)) +
                    " reference(s)");
    pending.push_back(root);
  }
  while (!pending.empty()) {
    const MoaMmValue next = pending.back();
    pending.pop_back();
    const Slot* slot = Resolve(next);
    const auto index = static_cast<size_t>(next.ty - kFirstHandle);
    if (!slot || seen[index]) continue;
    seen[index] = true;
    ++reachable;
    pending.insert(pending.end(), slot->value.items.begin(), slot->value.items.end());
    pending.insert(pending.end(), slot->value.keys.begin(), slot->value.keys.end());
  }
  if (reachable < liveValues())
    leaks.push_back(std::to_string(liveValues() - reachable) + " value(s) kept alive only by lists holding each other");
  if (badUses_) leaks.push_back(std::to_string(badUses_) + " use(s) of a released or made-up value");
  return leaks;
}

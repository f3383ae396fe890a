#include "console_object.h"

#include "lingo_literals.h"

using namespace director;

HeldValue& HeldValue::operator=(HeldValue&& other) noexcept {
  if (this != &other) {
    values_->Release(value_);
    values_ = other.values_;
    value_ = other.value_;
    other.value_ = kVoidMoaMmValue;
  }
  return *this;
}

const LingoValue& HeldValue::lingo() const {
  static const LingoValue kVoid;
  const LingoValue* found = values_->Find(value_);
  return found ? *found : kVoid;
}

const LingoValue* HeldValue::Property(const std::string& name) const {
  const LingoValue& list = lingo();
  if (list.type != kMoaMmValueType_PropList) return nullptr;
  for (size_t i = 0; i < list.keys.size(); ++i) {
    const LingoValue* key = values_->Find(list.keys[i]);
    const std::string* keyName = key ? values_->SymbolName(key->integer) : nullptr;
    if (keyName && FoldCase(*keyName) == FoldCase(name)) return values_->Find(list.items[i]);
  }
  return nullptr;
}

MoaLong HeldValue::Integer(const std::string& property) const {
  const LingoValue* value = Property(property);
  return value && value->type == kMoaMmValueType_Integer ? value->integer : 0;
}

std::string HeldValue::Text(const std::string& property) const {
  const LingoValue* value = Property(property);
  return value && value->type == kMoaMmValueType_String ? value->text : "";
}

std::string HeldValue::Literal() const { return FormatLiteral(*values_, value_); }

ConsoleObject::ConsoleObject(DirectorHost& host, const MethodCatalog& catalog)
    : host_(host), catalog_(catalog), instance_(host) {
  if (!instance_.alive()) {
    error_ = "the Xtra made no object: " + instance_.error();
    return;
  }
  // The console tells the author what went wrong itself.
  Call("ShowErrorsAsDialogs", {Integer(0).value()});
}

ConsoleObject::~ConsoleObject() {
  if (!instance_.alive()) return;
  instance_.Forget();
  instance_.Dispose();
}

HeldValue ConsoleObject::Call(const char* method, const std::vector<MoaMmValue>& arguments) {
  HeldValue result(host_.values(), kVoidMoaMmValue);
  const MethodEntry* entry = catalog_.Find(method);
  if (!entry) {
    error_ = std::string("the Xtra has no method ") + method;
    return result;
  }
  if (!instance_.alive()) return result;
  MoaMmValue answer = kVoidMoaMmValue;
  if (instance_.CallWithValues(entry->selector, arguments, &answer) != kMoaErr_NoErr)
    error_ = std::string(method) + " failed in the host: " + instance_.error();
  return HeldValue(host_.values(), answer);
}

#include "value_services.h"

using namespace director;

const LingoValue* ValueArguments::Find(const MoaMmValue* value, MoaError* status) const {
  if (!value) {
    *status = kHostErr_BadArgument;
    return nullptr;
  }
  if (IsNull(*value)) {
    watch_.Misuse("a null value {0,0} where a value belongs");
    *status = kHostErr_NullValue;
    return nullptr;
  }
  const LingoValue* found = values_.Find(*value);
  *status = found ? kMoaErr_NoErr : kHostErr_BadValue;
  return found;
}

MoaError ValueArguments::Refuse(MoaMmValue* out, MoaError status) {
  if (out) *out = kVoidMoaMmValue;
  return status;
}

namespace {

// Callers check `out` before they make the value, which would leak otherwise.
MoaError Give(MoaMmValue* out, const MoaMmValue& value) {
  *out = value;
  return kMoaErr_NoErr;
}

}  // namespace

HostValueService::HostValueService(HostWatch& hostWatch, LingoValueStore& values)
    : IMoaMmValueSlots(hostWatch), values_(values), arguments_(values, hostWatch) {}

void HostValueService::CheckEncoding(const char* text) {
  if (values_.encoding() == TextEncoding::kUtf8 && !IsUtf8(text))
    watch().Misuse("text that is not UTF-8, which this Director speaks: \"" +
                   ShownText(text, TextEncoding::kWindows1252) + "\" read as Windows-1252");
}

MoaError HostValueService::StringToSymbol(const char* text, MoaMmSymbol* symbol) {
  if (!text || !symbol) return kHostErr_BadArgument;
  if (!*text) return kHostErr_BadSymbol;
  CheckEncoding(text);
  *symbol = values_.Intern(text);
  return kMoaErr_NoErr;
}

MoaError HostValueService::SymbolToString(MoaMmSymbol symbol, char* buffer, MoaLong size) {
  const std::string* name = values_.SymbolName(symbol);
  if (!name) return kHostErr_BadSymbol;
  return AnswerText(*name, buffer, size);
}

const LingoValue* HostValueService::Typed(const MoaMmValue* value, MoaLong type, const void* out,
                                          MoaError* status) const {
  const LingoValue* found = arguments_.Find(value, status);
  if (!found) return nullptr;
  *status = !out ? kHostErr_BadArgument : type != kAnyType && found->type != type ? kHostErr_WrongType : kMoaErr_NoErr;
  return *status == kMoaErr_NoErr ? found : nullptr;
}

MoaError HostValueService::ValueType(const MoaMmValue* value, MoaLong* type) {
  MoaError status = kMoaErr_NoErr;
  if (const LingoValue* found = Typed(value, kAnyType, type, &status)) *type = found->type;
  return status;
}

MoaError HostValueService::ValueAddRef(MoaMmValue* value) {
  MoaError status = kMoaErr_NoErr;
  if (!arguments_.Find(value, &status)) return status;
  watch().ReferenceChanged(*value, +1);
  return values_.AddRef(*value);
}

MoaError HostValueService::ValueRelease(MoaMmValue* value) {
  MoaError status = kMoaErr_NoErr;
  if (!arguments_.Find(value, &status)) return status;
  watch().ReferenceChanged(*value, -1);
  return values_.Release(*value);
}

MoaError HostValueService::ValueToInteger(const MoaMmValue* value, MoaLong* out) {
  MoaError status = kMoaErr_NoErr;
  if (const LingoValue* found = Typed(value, kMoaMmValueType_Integer, out, &status)) *out = found->integer;
  return status;
}

MoaError HostValueService::ValueToSymbol(const MoaMmValue* value, MoaMmSymbol* out) {
  MoaError status = kMoaErr_NoErr;
  if (const LingoValue* found = Typed(value, kMoaMmValueType_Symbol, out, &status)) *out = found->integer;
  return status;
}

MoaError HostValueService::ValueToFloat(const MoaMmValue* value, double* out) {
  MoaError status = kMoaErr_NoErr;
  const LingoValue* found = Typed(value, kAnyType, out, &status);
  if (!found) return status;
  if (found->type == kMoaMmValueType_Integer)
    *out = found->integer;
  else if (found->type == kMoaMmValueType_Float)
    *out = found->number;
  else
    return kHostErr_WrongType;
  return kMoaErr_NoErr;
}

MoaError HostValueService::ValueStringLength(const MoaMmValue* value, MoaLong* length) {
  MoaError status = kMoaErr_NoErr;
  if (const LingoValue* found = Typed(value, kMoaMmValueType_String, length, &status))
    *length = static_cast<MoaLong>(found->text.size());
  return status;
}

MoaError HostValueService::ValueToString(const MoaMmValue* value, char* buffer, MoaLong size) {
  if (!buffer || size < 1) return kHostErr_BadArgument;
  buffer[0] = '\0';
  MoaError status = kMoaErr_NoErr;
  const LingoValue* found = Typed(value, kMoaMmValueType_String, buffer, &status);
  return found ? AnswerText(found->text, buffer, size) : status;
}

MoaError HostValueService::IntegerToValue(MoaLong number, MoaMmValue* out) {
  return out ? Give(out, values_.Integer(number)) : kHostErr_BadArgument;
}

MoaError HostValueService::SymbolToValue(MoaMmSymbol symbol, MoaMmValue* out) {
  if (!out) return kHostErr_BadArgument;
  return values_.SymbolName(symbol) ? Give(out, values_.Symbol(symbol))
                                    : ValueArguments::Refuse(out, kHostErr_BadSymbol);
}

MoaError HostValueService::FloatToValue(double number, MoaMmValue* out) {
  return out ? Give(out, values_.Float(number)) : kHostErr_BadArgument;
}

MoaError HostValueService::StringToValue(const char* text, MoaMmValue* out) {
  if (!text || !out) return kHostErr_BadArgument;
  CheckEncoding(text);
  return Give(out, values_.String(text));
}

HostListService::HostListService(HostWatch& hostWatch, LingoValueStore& values)
    : IMoaMmListSlots(hostWatch), values_(values), arguments_(values, hostWatch) {}

const LingoValue* HostListService::FindList(const MoaMmValue* list, bool properties, MoaError* status) const {
  const LingoValue* found = arguments_.Find(list, status);
  if (!found) return nullptr;
  const bool fits = found->type == kMoaMmValueType_PropList || (!properties && found->type == kMoaMmValueType_List);
  if (!fits) *status = kHostErr_WrongType;
  return fits ? found : nullptr;
}

MoaError HostListService::Hand(const MoaMmValue& value, MoaMmValue* out) {
  values_.AddRef(value);
  return Give(out, value);
}

MoaError HostListService::NewListValue(MoaMmValue* out) {
  return out ? Give(out, values_.List()) : kHostErr_BadArgument;
}

MoaError HostListService::AppendValueToList(MoaMmValue* list, MoaMmValue* item) {
  MoaError status = kMoaErr_NoErr;
  if (!arguments_.Find(list, &status) || !arguments_.Find(item, &status)) return status;
  return values_.Append(*list, *item);
}

MoaLong HostListService::CountElements(const MoaMmValue* list) {
  MoaError status = kMoaErr_NoErr;
  const LingoValue* found = FindList(list, false, &status);
  return found ? static_cast<MoaLong>(found->items.size()) : -1;
}

MoaError HostListService::GetValueByIndex(const MoaMmValue* list, MoaLong position, MoaMmValue* out) {
  if (!out) return kHostErr_BadArgument;
  MoaError status = kMoaErr_NoErr;
  const LingoValue* found = FindList(list, false, &status);
  if (!found) return ValueArguments::Refuse(out, status);
  if (position < 1 || static_cast<size_t>(position) > found->items.size())
    return ValueArguments::Refuse(out, kHostErr_BadIndex);
  return Hand(found->items[static_cast<size_t>(position) - 1], out);
}

MoaError HostListService::NewPropListValue(MoaMmValue* out) {
  return out ? Give(out, values_.PropList()) : kHostErr_BadArgument;
}

MoaError HostListService::AppendValueToPropList(MoaMmValue* list, MoaMmValue* property, MoaMmValue* item) {
  MoaError status = kMoaErr_NoErr;
  if (!arguments_.Find(list, &status) || !arguments_.Find(property, &status) || !arguments_.Find(item, &status))
    return status;
  return values_.AppendProperty(*list, *property, *item);
}

MoaError HostListService::GetValueByProperty(const MoaMmValue* list, MoaMmValue* property, MoaMmValue* out) {
  if (!out) return kHostErr_BadArgument;
  MoaError status = kMoaErr_NoErr;
  const LingoValue* found = FindList(list, true, &status);
  const LingoValue* wanted = found ? arguments_.Find(property, &status) : nullptr;
  if (!wanted) return ValueArguments::Refuse(out, status);
  for (size_t i = 0; i < found->keys.size(); ++i) {
    const LingoValue* key = values_.Find(found->keys[i]);
    if (key->type == wanted->type && key->integer == wanted->integer && key->text == wanted->text)
      return Hand(found->items[i], out);
  }
  return ValueArguments::Refuse(out, kHostErr_NoProperty);
}

MoaError HostListService::GetPropertyNameByIndex(const MoaMmValue* list, MoaLong position, MoaMmValue* out) {
  if (!out) return kHostErr_BadArgument;
  MoaError status = kMoaErr_NoErr;
  const LingoValue* found = FindList(list, true, &status);
  if (!found) return ValueArguments::Refuse(out, status);
  if (position < 1 || static_cast<size_t>(position) > found->keys.size())
    return ValueArguments::Refuse(out, kHostErr_BadIndex);
  return Hand(found->keys[static_cast<size_t>(position) - 1], out);
}

#include "value_services.h"

#include <algorithm>
#include <cstring>

#include "host_errors.h"

namespace {

// Callers check `out` before they make the value, which would leak otherwise.
MoaError Give(MoaMmValue* out, const MoaMmValue& value) {
  *out = value;
  return kMoaErr_NoErr;
}

}  // namespace

MoaError MOA_CALL HostValueService::ValueType(const MoaMmValue* value, MoaLong* type) {
  if (!value || !type) return kHostErr_BadArgument;
  const LingoValue* found = values_.Find(*value);
  if (!found) return kHostErr_BadValue;
  *type = found->type;
  return kMoaErr_NoErr;
}

MoaError MOA_CALL HostValueService::ValueToInteger(const MoaMmValue* value, MoaLong* out) {
  if (!value || !out) return kHostErr_BadArgument;
  const LingoValue* found = values_.Find(*value);
  if (!found) return kHostErr_BadValue;
  if (found->type != kMoaMmValueType_Integer) return kHostErr_WrongType;
  *out = found->integer;
  return kMoaErr_NoErr;
}

MoaError MOA_CALL HostValueService::ValueToString(const MoaMmValue* value, char* buffer, MoaLong bufferSize) {
  if (!value || !buffer || bufferSize < 1) return kHostErr_BadArgument;
  buffer[0] = '\0';
  const LingoValue* found = values_.Find(*value);
  if (!found) return kHostErr_BadValue;
  if (found->type != kMoaMmValueType_String) return kHostErr_WrongType;
  const size_t length = std::min(found->text.size(), static_cast<size_t>(bufferSize) - 1);
  std::memcpy(buffer, found->text.data(), length);
  buffer[length] = '\0';
  return kMoaErr_NoErr;
}

MoaError MOA_CALL HostValueService::IntegerToValue(MoaLong number, MoaMmValue* out) {
  return out ? Give(out, values_.Integer(number)) : kHostErr_BadArgument;
}

MoaError MOA_CALL HostValueService::StringToValue(const char* text, MoaMmValue* out) {
  return text && out ? Give(out, values_.String(text)) : kHostErr_BadArgument;
}

MoaError MOA_CALL HostValueService::StringToSymbol(const char* text, MoaMmSymbol* out) {
  if (!text || !out) return kHostErr_BadArgument;
  if (!*text) return kHostErr_BadSymbol;
  *out = values_.Intern(text);
  return kMoaErr_NoErr;
}

MoaError MOA_CALL HostValueService::SymbolToValue(MoaMmSymbol symbol, MoaMmValue* out) {
  if (!out) return kHostErr_BadArgument;
  *out = MoaMmValue{};
  return values_.SymbolName(symbol) ? Give(out, values_.Symbol(symbol)) : kHostErr_BadSymbol;
}

MoaError MOA_CALL HostValueService::ValueAddRef(const MoaMmValue* value) {
  return value ? values_.AddRef(*value) : kHostErr_BadArgument;
}

MoaError MOA_CALL HostValueService::ValueRelease(MoaMmValue* value) {
  return value ? values_.Release(*value) : kHostErr_BadArgument;
}

MoaError MOA_CALL HostListService::NewListValue(MoaMmValue* out) {
  return out ? Give(out, values_.List()) : kHostErr_BadArgument;
}

MoaError MOA_CALL HostListService::AppendValueToList(MoaMmValue* list, const MoaMmValue* item) {
  return list && item ? values_.Append(*list, *item) : kHostErr_BadArgument;
}

MoaLong MOA_CALL HostListService::CountElements(const MoaMmValue* list) {
  const LingoValue* found = list ? values_.Find(*list) : nullptr;
  if (!found || (found->type != kMoaMmValueType_List && found->type != kMoaMmValueType_PropList)) return 0;
  return static_cast<MoaLong>(found->items.size());
}

MoaError MOA_CALL HostListService::GetValueByIndex(const MoaMmValue* list, MoaLong position, MoaMmValue* out) {
  if (!list || !out) return kHostErr_BadArgument;
  *out = MoaMmValue{};
  const LingoValue* found = values_.Find(*list);
  if (!found) return kHostErr_BadValue;
  if (found->type != kMoaMmValueType_List && found->type != kMoaMmValueType_PropList) return kHostErr_WrongType;
  if (position < 1 || static_cast<size_t>(position) > found->items.size()) return kHostErr_BadIndex;
  const MoaMmValue item = found->items[static_cast<size_t>(position) - 1];
  values_.AddRef(item);
  return Give(out, item);
}

MoaError MOA_CALL HostListService::NewPropListValue(MoaMmValue* out) {
  return out ? Give(out, values_.PropList()) : kHostErr_BadArgument;
}

MoaError MOA_CALL HostListService::AppendValueToPropList(MoaMmValue* propList, const MoaMmValue* key,
                                                         const MoaMmValue* item) {
  return propList && key && item ? values_.AppendProperty(*propList, *key, *item) : kHostErr_BadArgument;
}

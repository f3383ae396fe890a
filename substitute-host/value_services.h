// The value and list services as Director serves them: thin doors onto the
// value store that check every pointer and handle first, and record a null
// value {0,0} given where a value belongs.
#pragma once

#include "host_service.h"
#include "lingo_values.h"

namespace director {
XDK_SERVICE_CLASS(IMoaMmValueSlots, IMoaMmValue, IID_IMoaMmValue, XDK_IMOAMMVALUE_SLOTS, XDK_NO_UNLISTED, false);
XDK_SERVICE_CLASS(IMoaMmListSlots, IMoaMmList, IID_IMoaMmList, XDK_IMOAMMLIST_SLOTS, XDK_NO_UNLISTED, false);
}  // namespace director

// Checks the value arguments the Xtra passes, as both services do.
class ValueArguments {
 public:
  ValueArguments(LingoValueStore& values, HostWatch& hostWatch) : values_(values), watch_(hostWatch) {}
  // The value behind `value`, or null with `status` telling why.
  const LingoValue* Find(const director::MoaMmValue* value, director::MoaError* status) const;
  // Writes void to `out` (when there is one) and passes `status` on.
  static director::MoaError Refuse(director::MoaMmValue* out, director::MoaError status);

 private:
  LingoValueStore& values_;
  HostWatch& watch_;
};

class HostValueService final : public director::IMoaMmValueSlots {
 public:
  HostValueService(HostWatch& hostWatch, LingoValueStore& values);

  director::MoaError StringToSymbol(const char* text, director::MoaMmSymbol* symbol) override;
  director::MoaError SymbolToString(director::MoaMmSymbol symbol, char* buffer, director::MoaLong size) override;
  director::MoaError ValueType(const director::MoaMmValue* value, director::MoaLong* type) override;
  director::MoaError ValueAddRef(director::MoaMmValue* value) override;
  director::MoaError ValueRelease(director::MoaMmValue* value) override;
  director::MoaError ValueToInteger(const director::MoaMmValue* value, director::MoaLong* out) override;
  director::MoaError ValueToSymbol(const director::MoaMmValue* value, director::MoaMmSymbol* out) override;
  // Of a float, or of an integer as a float.
  director::MoaError ValueToFloat(const director::MoaMmValue* value, double* out) override;
  director::MoaError ValueStringLength(const director::MoaMmValue* value, director::MoaLong* length) override;
  // The buffer must hold the text and its terminator; a shorter one is an
  // error and is left holding the empty text.
  director::MoaError ValueToString(const director::MoaMmValue* value, char* buffer, director::MoaLong size) override;
  director::MoaError IntegerToValue(director::MoaLong number, director::MoaMmValue* out) override;
  // Void for a symbol number that StringToSymbol never answered.
  director::MoaError SymbolToValue(director::MoaMmSymbol symbol, director::MoaMmValue* out) override;
  director::MoaError FloatToValue(double number, director::MoaMmValue* out) override;
  director::MoaError StringToValue(const char* text, director::MoaMmValue* out) override;

 private:
  static constexpr director::MoaLong kAnyType = -1;

  // The value behind `value` when it has `type` (or any) and `out` is there
  // for the answer; null with `status` telling why not.
  const LingoValue* Typed(const director::MoaMmValue* value, director::MoaLong type, const void* out,
                          director::MoaError* status) const;
  // Text from the Xtra must be in the host's encoding.
  void CheckEncoding(const char* text);

  LingoValueStore& values_;
  ValueArguments arguments_;
};

class HostListService final : public director::IMoaMmListSlots {
 public:
  HostListService(HostWatch& hostWatch, LingoValueStore& values);

  director::MoaError NewListValue(director::MoaMmValue* out) override;
  director::MoaError AppendValueToList(director::MoaMmValue* list, director::MoaMmValue* item) override;
  // -1 for anything but a list or property list.
  director::MoaLong CountElements(const director::MoaMmValue* list) override;
  // Position 1 is the first; of a property list, the value (not the key).
  // A refused lookup answers void.
  director::MoaError GetValueByIndex(const director::MoaMmValue* list, director::MoaLong position,
                                     director::MoaMmValue* out) override;
  director::MoaError NewPropListValue(director::MoaMmValue* out) override;
  director::MoaError AppendValueToPropList(director::MoaMmValue* list, director::MoaMmValue* property,
                                           director::MoaMmValue* item) override;
  // The first property equal to `property` (same type and content).
  director::MoaError GetValueByProperty(const director::MoaMmValue* list, director::MoaMmValue* property,
                                        director::MoaMmValue* out) override;
  director::MoaError GetPropertyNameByIndex(const director::MoaMmValue* list, director::MoaLong position,
                                            director::MoaMmValue* out) override;

 private:
  // The list behind `list` when it is one (of either kind when `properties`
  // is false), or null with `status` set.
  const LingoValue* FindList(const director::MoaMmValue* list, bool properties, director::MoaError* status) const;
  director::MoaError Hand(const director::MoaMmValue& value, director::MoaMmValue* out);

  LingoValueStore& values_;
  ValueArguments arguments_;
};

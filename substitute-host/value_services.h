// The value and list services that the Xtra asks of the host callback: thin
// doors onto the value store that check every pointer and handle first.
#pragma once

#include "host_object.h"
#include "lingo_values.h"

class HostValueService : public HostObject<IMoaMmValue> {
 public:
  explicit HostValueService(LingoValueStore& values) : HostObject(IID_IMoaMmValue), values_(values) {}

  MoaError MOA_CALL ValueType(const MoaMmValue* value, MoaLong* type) override;
  MoaError MOA_CALL ValueToInteger(const MoaMmValue* value, MoaLong* out) override;
  // Cuts the text to fit and always terminates it; still a success then.
  MoaError MOA_CALL ValueToString(const MoaMmValue* value, char* buffer, MoaLong bufferSize) override;
  MoaError MOA_CALL IntegerToValue(MoaLong number, MoaMmValue* out) override;
  MoaError MOA_CALL StringToValue(const char* text, MoaMmValue* out) override;
  MoaError MOA_CALL StringToSymbol(const char* text, MoaMmSymbol* out) override;
  // Void for a symbol number that StringToSymbol never answered.
  MoaError MOA_CALL SymbolToValue(MoaMmSymbol symbol, MoaMmValue* out) override;
  MoaError MOA_CALL ValueAddRef(const MoaMmValue* value) override;
  MoaError MOA_CALL ValueRelease(MoaMmValue* value) override;

 private:
  LingoValueStore& values_;
};

class HostListService : public HostObject<IMoaMmList> {
 public:
  explicit HostListService(LingoValueStore& values) : HostObject(IID_IMoaMmList), values_(values) {}

  MoaError MOA_CALL NewListValue(MoaMmValue* out) override;
  MoaError MOA_CALL AppendValueToList(MoaMmValue* list, const MoaMmValue* item) override;
  // 0 for anything but a list or property list: nothing to walk.
  MoaLong MOA_CALL CountElements(const MoaMmValue* list) override;
  // Position 1 is the first; of a property list, the value (not the key).
  // A refused lookup answers void.
  MoaError MOA_CALL GetValueByIndex(const MoaMmValue* list, MoaLong position, MoaMmValue* out) override;
  MoaError MOA_CALL NewPropListValue(MoaMmValue* out) override;
  MoaError MOA_CALL AppendValueToPropList(MoaMmValue* propList, const MoaMmValue* key,
                                          const MoaMmValue* item) override;

 private:
  LingoValueStore& values_;
};

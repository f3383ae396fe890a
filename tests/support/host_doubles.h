// Host services that behave as a host may but the substitute host does not:
// each passes every call on to the host's own service except the one it
// changes. Offer one through the host callback before the instance is made.
#pragma once

#include <cstring>
#include <string>

#include "director_host.h"

template <class Service>
Service* RealService(DirectorHost& host, const MoaID& iid) {
  void* service = nullptr;
  host.callback().QueryInterface(&iid, &service);
  static_cast<Service*>(service)->Release();  // the host keeps it alive
  return static_cast<Service*>(service);
}

// Appends after the first `allowed` fail with `status`, as when the host runs
// out of memory in the middle of a list.
class FailingAppends : public HostObject<IMoaMmList> {
 public:
  FailingAppends(DirectorHost& host, int allowed, MoaError status)
      : HostObject(IID_IMoaMmList), real_(*RealService<IMoaMmList>(host, IID_IMoaMmList)), allowed_(allowed),
        status_(status) {}

  MoaError MOA_CALL NewListValue(MoaMmValue* out) override { return real_.NewListValue(out); }
  MoaError MOA_CALL AppendValueToList(MoaMmValue* list, const MoaMmValue* item) override {
    return appended_++ < allowed_ ? real_.AppendValueToList(list, item) : status_;
  }
  MoaLong MOA_CALL CountElements(const MoaMmValue* list) override { return real_.CountElements(list); }
  MoaError MOA_CALL GetValueByIndex(const MoaMmValue* list, MoaLong position, MoaMmValue* out) override {
    return real_.GetValueByIndex(list, position, out);
  }
  MoaError MOA_CALL NewPropListValue(MoaMmValue* out) override { return real_.NewPropListValue(out); }
  MoaError MOA_CALL AppendValueToPropList(MoaMmValue* propList, const MoaMmValue* key,
                                          const MoaMmValue* item) override {
    return real_.AppendValueToPropList(propList, key, item);
  }

  void Allow(int allowed) {
    allowed_ = allowed;
    appended_ = 0;
  }

 private:
  IMoaMmList& real_;
  int allowed_;
  MoaError status_;
  int appended_ = 0;
};

// A text too long for the buffer fills it to the last byte, unterminated.
class UnterminatedTexts : public HostObject<IMoaMmValue> {
 public:
  explicit UnterminatedTexts(DirectorHost& host)
      : HostObject(IID_IMoaMmValue), real_(*RealService<IMoaMmValue>(host, IID_IMoaMmValue)) {}

  MoaError MOA_CALL ValueType(const MoaMmValue* value, MoaLong* type) override { return real_.ValueType(value, type); }
  MoaError MOA_CALL ValueToInteger(const MoaMmValue* value, MoaLong* out) override {
    return real_.ValueToInteger(value, out);
  }
  MoaError MOA_CALL ValueToString(const MoaMmValue* value, char* buffer, MoaLong bufferSize) override {
    std::string whole(1 << 16, '\0');
    const MoaError status = real_.ValueToString(value, whole.data(), static_cast<MoaLong>(whole.size()));
    if (status == kMoaErr_NoErr) std::memcpy(buffer, whole.data(), static_cast<size_t>(bufferSize));
    return status;
  }
  MoaError MOA_CALL IntegerToValue(MoaLong number, MoaMmValue* out) override {
    return real_.IntegerToValue(number, out);
  }
  MoaError MOA_CALL StringToValue(const char* text, MoaMmValue* out) override { return real_.StringToValue(text, out); }
  MoaError MOA_CALL StringToSymbol(const char* text, MoaMmSymbol* out) override {
    return real_.StringToSymbol(text, out);
  }
  MoaError MOA_CALL SymbolToValue(MoaMmSymbol symbol, MoaMmValue* out) override {
    return real_.SymbolToValue(symbol, out);
  }
  MoaError MOA_CALL ValueAddRef(const MoaMmValue* value) override { return real_.ValueAddRef(value); }
  MoaError MOA_CALL ValueRelease(MoaMmValue* value) override { return real_.ValueRelease(value); }

 private:
  IMoaMmValue& real_;
};

// Host services that behave as a host may but the substitute host does not:
// each passes the calls the Xtra makes on to the host's own service, except
// the one it changes. It stands in for that service while it lives.
#pragma once

#include <cstring>
#include <string>

#include "director_host.h"

template <class Slots, class Real>
class ServiceDouble : public Slots {
 public:
  ServiceDouble(DirectorHost& host, Real& real) : Slots(host.watch()), host_(host), real_(real) {
    host_.callback().Offer(*this);
  }
  ~ServiceDouble() override { host_.callback().Offer(real_); }

 protected:
  Real& real() { return real_; }

 private:
  DirectorHost& host_;
  Real& real_;
};

// Appends after the first `allowed` fail with `status`, as when the host runs
// out of memory in the middle of a list.
class FailingAppends final : public ServiceDouble<director::IMoaMmListSlots, HostListService> {
 public:
  FailingAppends(DirectorHost& host, int allowed, director::MoaError status)
      : ServiceDouble(host, host.listService()), allowed_(allowed), status_(status) {}

  director::MoaError NewListValue(director::MoaMmValue* out) override { return real().NewListValue(out); }
  director::MoaError AppendValueToList(director::MoaMmValue* list, director::MoaMmValue* item) override {
    return appended_++ < allowed_ ? real().AppendValueToList(list, item) : status_;
  }
  director::MoaLong CountElements(const director::MoaMmValue* list) override { return real().CountElements(list); }
  director::MoaError GetValueByIndex(const director::MoaMmValue* list, director::MoaLong position,
                                     director::MoaMmValue* out) override {
    return real().GetValueByIndex(list, position, out);
  }
  director::MoaError NewPropListValue(director::MoaMmValue* out) override { return real().NewPropListValue(out); }
  director::MoaError AppendValueToPropList(director::MoaMmValue* list, director::MoaMmValue* property,
                                           director::MoaMmValue* item) override {
    return real().AppendValueToPropList(list, property, item);
  }

  void Allow(int allowed) {
    allowed_ = allowed;
    appended_ = 0;
  }

 private:
  int allowed_;
  director::MoaError status_;
  int appended_ = 0;
};

// A text too long for the buffer fills it to the last byte, unterminated.
class UnterminatedTexts final : public ServiceDouble<director::IMoaMmValueSlots, HostValueService> {
 public:
  explicit UnterminatedTexts(DirectorHost& host) : ServiceDouble(host, host.valueService()) {}

  director::MoaError ValueToString(const director::MoaMmValue* value, char* buffer, director::MoaLong size) override {
    std::string whole(1 << 16, '\0');
    const director::MoaError status = real().ValueToString(value, whole.data(), static_cast<director::MoaLong>(whole.size()));
    if (status == director::kMoaErr_NoErr) std::memcpy(buffer, whole.data(), static_cast<size_t>(size));
    return status;
  }
  director::MoaError ValueStringLength(const director::MoaMmValue* value, director::MoaLong* length) override {
    return real().ValueStringLength(value, length);
  }
  director::MoaError StringToSymbol(const char* text, director::MoaMmSymbol* symbol) override {
    return real().StringToSymbol(text, symbol);
  }
  director::MoaError ValueToSymbol(const director::MoaMmValue* value, director::MoaMmSymbol* out) override {
    return real().ValueToSymbol(value, out);
  }
  director::MoaError SymbolToString(director::MoaMmSymbol symbol, char* buffer, director::MoaLong size) override {
    return real().SymbolToString(symbol, buffer, size);
  }
  director::MoaError ValueType(const director::MoaMmValue* value, director::MoaLong* type) override {
    return real().ValueType(value, type);
  }
  director::MoaError ValueAddRef(director::MoaMmValue* value) override { return real().ValueAddRef(value); }
  director::MoaError ValueRelease(director::MoaMmValue* value) override { return real().ValueRelease(value); }
  director::MoaError ValueToInteger(const director::MoaMmValue* value, director::MoaLong* out) override {
    return real().ValueToInteger(value, out);
  }
  director::MoaError IntegerToValue(director::MoaLong number, director::MoaMmValue* out) override {
    return real().IntegerToValue(number, out);
  }
  director::MoaError SymbolToValue(director::MoaMmSymbol symbol, director::MoaMmValue* out) override {
    return real().SymbolToValue(symbol, out);
  }
  director::MoaError StringToValue(const char* text, director::MoaMmValue* out) override {
    return real().StringToValue(text, out);
  }
};

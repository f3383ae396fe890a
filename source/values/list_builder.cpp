#include "values/list_builder.h"

#include "values/host_services.h"

namespace {

MoaError NewList(HostServices& services, ListBuilder::Shape shape, MoaMmValue* out) {
  if (shape == ListBuilder::Shape::PropList) return services.NewPropList(out);
  return services.lists() ? services.lists()->NewListValue(out) : kMoaErr_BadInterface;
}

}  // namespace

ListBuilder::ListBuilder(HostServices& services, Shape outer) : services_(services) {
  open_.push_back({HostValue(services.values()), outer});
  Check(services.values() ? NewList(services, outer, open_.back().value.out()) : kMoaErr_BadInterface);
}

void ListBuilder::Check(MoaError status) {
  if (status_ == kMoaErr_NoErr) status_ = status;
}

void ListBuilder::Open(Shape shape, const char* name) {
  if (status_ != kMoaErr_NoErr) return;
  open_.push_back({HostValue(services_.values()), shape});
  names_.push_back(name);
  Check(NewList(services_, shape, open_.back().value.out()));
}

void ListBuilder::Close() {
  if (status_ != kMoaErr_NoErr || open_.size() < 2) return;
  OpenList inner = std::move(open_.back());
  open_.pop_back();
  const char* name = names_.back();
  names_.pop_back();
  Add(name, inner.value);
}

void ListBuilder::Add(const char* name, HostValue& item) {
  if (status_ != kMoaErr_NoErr) return;
  OpenList& into = open_.back();
  if (into.shape == Shape::PropList)
    Check(services_.AddValueProperty(into.value.get(), name, item.get()));
  else
    Check(services_.lists()->AppendValueToList(into.value.get(), item.get()));
}

void ListBuilder::Integer(const char* name, int32_t number) {
  if (status_ != kMoaErr_NoErr) return;
  HostValue item(services_.values());
  Check(services_.values()->IntegerToValue(number, item.out()));
  Add(name, item);
}

void ListBuilder::String(const char* name, const char* text) {
  if (status_ != kMoaErr_NoErr) return;
  HostValue item(services_.values());
  Check(services_.values()->StringToValue(text, item.out()));
  Add(name, item);
}

void ListBuilder::Symbol(const char* name, const char* symbol) {
  if (status_ != kMoaErr_NoErr) return;
  HostValue item(services_.values());
  Check(services_.MakeSymbol(symbol, item.out()));
  Add(name, item);
}

void ListBuilder::Bytes(const char* name, const uint8_t* bytes, size_t length) {
  if (status_ != kMoaErr_NoErr) return;
  HostValue item(services_.values());
  Check(services_.BytesToList(bytes, static_cast<int32_t>(length), item.out()));
  Add(name, item);
}

void ListBuilder::Void(const char* name) {
  HostValue item(services_.values());
  Add(name, item);
}

MoaError ListBuilder::HandTo(MoaMmValue* target) {
  while (open_.size() > 1) Close();
  if (status_ == kMoaErr_NoErr && !open_.empty()) *target = open_.front().value.release();
  open_.clear();
  names_.clear();
  return status_;
}

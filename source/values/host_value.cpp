#include "values/host_value.h"

#include <utility>

namespace {

// Void holds no reference, and a release of it would be a call for nothing.
bool HoldsReference(const MoaMmValue& value) {
  return value.ty != kVoidMoaMmValue.ty || value.it != kVoidMoaMmValue.it;
}

}  // namespace

HostValue& HostValue::operator=(HostValue&& other) noexcept {
  if (this != &other) {
    reset();
    values_ = other.values_;
    value_ = other.release();
  }
  return *this;
}

MoaMmValue HostValue::release() { return std::exchange(value_, kVoidMoaMmValue); }

void HostValue::reset() {
  if (values_ && HoldsReference(value_)) values_->ValueRelease(&value_);
  value_ = kVoidMoaMmValue;
}

HostValues HostValues::Share(IMoaMmValue* values, const MoaMmValue* from, size_t count) {
  HostValues shared(values);
  shared.items_.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    if (HoldsReference(from[i])) values->ValueAddRef(&from[i]);
    shared.items_.push_back(from[i]);
  }
  return shared;
}

HostValues::HostValues(HostValues&& other) noexcept
    : values_(other.values_), items_(std::exchange(other.items_, {})) {}

HostValues& HostValues::operator=(HostValues&& other) noexcept {
  if (this != &other) {
    reset();
    values_ = other.values_;
    items_ = std::exchange(other.items_, {});
  }
  return *this;
}

void HostValues::reset() {
  for (MoaMmValue& item : items_)
    if (values_ && HoldsReference(item)) values_->ValueRelease(&item);
  items_.clear();
}

// Owners of Lingo values that the Xtra holds a reference on: each gives its
// references back through Director's value services when it goes, however
// the code that held it ends, unless it handed the value on to Director.
#pragma once

#include <cstddef>
#include <vector>

#include "moa_contract.h"

class HostValue {
 public:
  // Without value services there is nothing to give back, and nothing is.
  explicit HostValue(IMoaMmValue* values = nullptr) : values_(values) {}
  ~HostValue() { reset(); }
  HostValue(HostValue&& other) noexcept : values_(other.values_), value_(other.release()) {}
  HostValue& operator=(HostValue&& other) noexcept;
  HostValue(const HostValue&) = delete;
  HostValue& operator=(const HostValue&) = delete;

  MoaMmValue* get() { return &value_; }
  // Gives back what is held, for a service to write the next value into.
  MoaMmValue* out() {
    reset();
    return &value_;
  }
  // Hands the value and its reference on: to Director, as a method's answer.
  MoaMmValue release();
  // Gives the reference back; the value reads as void again.
  void reset();

 private:
  IMoaMmValue* values_;
  MoaMmValue value_ = kVoidMoaMmValue;
};

// Values that go to a Lingo handler side by side, as its arguments, each
// with a reference of its own.
class HostValues {
 public:
  HostValues() = default;
  // A reference of its own on each of `count` values at `from`. Throws
  // std::bad_alloc.
  static HostValues Share(IMoaMmValue* values, const MoaMmValue* from, size_t count);
  ~HostValues() { reset(); }
  HostValues(HostValues&& other) noexcept;
  HostValues& operator=(HostValues&& other) noexcept;
  HostValues(const HostValues&) = delete;
  HostValues& operator=(const HostValues&) = delete;

  MoaMmValue* data() { return items_.data(); }
  MoaMmValue& operator[](size_t index) { return items_[index]; }
  size_t size() const { return items_.size(); }
  void reset();

 private:
  explicit HostValues(IMoaMmValue* values) : values_(values) {}

  IMoaMmValue* values_ = nullptr;
  std::vector<MoaMmValue> items_;
};

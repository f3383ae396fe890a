// Owners of what Windows hands out and must be given back: kernel handles,
// device information sets and a collection's preparsed data. Each gives back
// what it holds when it goes, however the code that held it ends; where the
// order of release steps matters, callers still reset them explicitly.
#pragma once

#include <utility>

#include "platform.h"

template <class Traits>
class ScopedResource {
 public:
  using Value = typename Traits::Value;

  ScopedResource() = default;
  // Takes over `value`; a value that the system uses to mean "none" (such as
  // INVALID_HANDLE_VALUE) is held as empty.
  explicit ScopedResource(Value value) { reset(value); }
  ~ScopedResource() { reset(); }
  ScopedResource(ScopedResource&& other) noexcept : value_(other.release()) {}
  ScopedResource& operator=(ScopedResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedResource(const ScopedResource&) = delete;
  ScopedResource& operator=(const ScopedResource&) = delete;

  Value get() const { return value_; }
  explicit operator bool() const { return value_ != Value{}; }
  // Hands the value over; the caller gives it back.
  Value release() { return std::exchange(value_, Value{}); }
  void reset(Value value = Value{}) {
    const Value old = std::exchange(value_, Traits::IsValid(value) ? value : Value{});
    if (old != Value{}) Traits::Free(old);
  }
  // Gives back what is held, for a system call to write the next value into.
  Value* receive() {
    reset();
    return &value_;
  }

 private:
  Value value_{};
};

struct KernelHandleTraits {
  using Value = HANDLE;
  static bool IsValid(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE handle);
};

struct DeviceInfoSetTraits {
  using Value = HDEVINFO;
  static bool IsValid(HDEVINFO set) { return set && set != INVALID_HANDLE_VALUE; }
  static void Free(HDEVINFO set);
};

struct PreparsedDataTraits {
  using Value = PHIDP_PREPARSED_DATA;
  static bool IsValid(PHIDP_PREPARSED_DATA data) { return data != nullptr; }
  static void Free(PHIDP_PREPARSED_DATA data);
};

using ScopedHandle = ScopedResource<KernelHandleTraits>;
using ScopedDeviceInfoSet = ScopedResource<DeviceInfoSetTraits>;
using ScopedPreparsedData = ScopedResource<PreparsedDataTraits>;

// The check every fallible function makes first.
#pragma once

#include <cstdint>
#include <optional>

namespace standin::detail {

// A Windows function that can be made to fail. Each such function has one,
// defined at namespace scope beside it and consulted first thing: defining
// it is what lets FailNext take the function's name, so that FailNext takes
// every name a function checks, and no other.
class FaultPoint {
 public:
  explicit FaultPoint(const char* function);
  FaultPoint(const FaultPoint&) = delete;
  FaultPoint& operator=(const FaultPoint&) = delete;

  // The code of a fault due now, if any.
  std::optional<std::uint32_t> Take() const;
  // Takes a due fault and sets it as the last error.
  bool Fails() const;

 private:
  const char* function_;
};

}  // namespace standin::detail

// The check every fallible function makes first.
#pragma once

#include <cstdint>
#include <optional>

namespace standin::detail {

// The code of a fault due now for this function, if any.
std::optional<std::uint32_t> TakeFault(const char* function);
// Takes a due fault and sets it as the last error.
bool FailsByFault(const char* function);

}  // namespace standin::detail

#include "descriptor_items.h"

#include <stdexcept>
#include <string>

namespace standin::detail {

namespace {
constexpr std::uint8_t kLongItemPrefix = 0xFE;
}

std::int32_t DescriptorItem::SignedData() const {
  if (size == 0) return 0;
  const unsigned bits = static_cast<unsigned>(size * 8);
  if (bits >= 32) return static_cast<std::int32_t>(data);
  const std::uint32_t sign = 1u << (bits - 1);
  return static_cast<std::int32_t>(static_cast<std::int64_t>(data ^ sign) - static_cast<std::int64_t>(sign));
}

bool DescriptorItems::Next(DescriptorItem& item) {
  while (offset_ < bytes_.size()) {
    const std::size_t start = offset_;
    const std::uint8_t prefix = bytes_[start];
    const std::size_t remaining = bytes_.size() - start - 1;
    if (prefix == kLongItemPrefix) {
      if (remaining < 2 || remaining - 2 < bytes_[start + 1])
        throw std::invalid_argument("report descriptor: a long item at byte " + std::to_string(start) + " is cut off");
      offset_ = start + 3 + bytes_[start + 1];
      continue;
    }
    const std::size_t size = (prefix & 3) == 3 ? 4 : prefix & 3;
    if (remaining < size)
      throw std::invalid_argument("report descriptor: the item at byte " + std::to_string(start) + " is cut off");
    std::uint32_t data = 0;
    for (std::size_t i = 0; i < size; ++i) data |= static_cast<std::uint32_t>(bytes_[start + 1 + i]) << (8 * i);
    item = {static_cast<ItemType>((prefix >> 2) & 3), static_cast<std::uint8_t>(prefix >> 4), data, size};
    offset_ = start + 1 + size;
    return true;
  }
  return false;
}

}  // namespace standin::detail

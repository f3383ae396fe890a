// The items of a HID report descriptor, read one at a time as the USB HID
// 1.11 specification lays them out (6.2.2.2 short items, 6.2.2.3 long items).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin::detail {

enum class ItemType : std::uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3 };

struct DescriptorItem {
  ItemType type;
  std::uint8_t tag;
  std::uint32_t data;  // little-endian, zero-extended
  std::size_t size;  // of the data: 0, 1, 2 or 4 bytes
  // The data sign-extended from its own size, as logical and physical
  // extents are read.
  std::int32_t SignedData() const;
};

class DescriptorItems {
 public:
  explicit DescriptorItems(const std::vector<std::uint8_t>& descriptor) : bytes_(descriptor) {}
  // The next short item, long items passed over (none is defined); false at
  // the end. Throws std::invalid_argument for an item cut off by the end.
  bool Next(DescriptorItem& item);

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t offset_ = 0;
};

}  // namespace standin::detail

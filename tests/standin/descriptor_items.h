// Report descriptors written item by item, for tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace items {

using Bytes = std::vector<std::uint8_t>;

// A short item of that prefix (type and tag, size bits 0) with `size` data bytes.
inline Bytes Short(std::uint8_t prefix, std::uint32_t data, std::size_t size = 1) {
  Bytes item{static_cast<std::uint8_t>(prefix | (size == 4 ? 3 : size))};
  for (std::size_t i = 0; i < size; ++i) item.push_back(static_cast<std::uint8_t>(data >> (8 * i)));
  return item;
}

inline Bytes Descriptor(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

inline Bytes UsagePage(std::uint32_t page, std::size_t size = 1) { return Short(0x04, page, size); }
inline Bytes Usage(std::uint32_t usage, std::size_t size = 1) { return Short(0x08, usage, size); }
inline Bytes UsageMinimum(std::uint32_t usage) { return Short(0x18, usage); }
inline Bytes UsageMaximum(std::uint32_t usage) { return Short(0x28, usage); }
inline Bytes Delimiter(bool open) { return Short(0xA8, open ? 1 : 0); }
inline Bytes LogicalMinimum(std::uint32_t raw, std::size_t size = 1) { return Short(0x14, raw, size); }
inline Bytes LogicalMaximum(std::uint32_t raw, std::size_t size = 1) { return Short(0x24, raw, size); }
inline Bytes ReportSize(std::uint32_t bits, std::size_t size = 1) { return Short(0x74, bits, size); }
inline Bytes ReportId(std::uint32_t id) { return Short(0x84, id); }
inline Bytes ReportCount(std::uint32_t count, std::size_t size = 1) { return Short(0x94, count, size); }
inline Bytes Push() { return Short(0xA4, 0, 0); }
inline Bytes Pop() { return Short(0xB4, 0, 0); }
inline Bytes Collection(std::uint8_t type) { return Short(0xA0, type); }
inline Bytes Application() { return Collection(0x01); }
inline Bytes EndCollection() { return Short(0xC0, 0, 0); }
inline Bytes Input(std::uint32_t flags) { return Short(0x80, flags); }
inline Bytes Output(std::uint32_t flags) { return Short(0x90, flags); }
inline Bytes Feature(std::uint32_t flags) { return Short(0xB0, flags); }

constexpr std::uint32_t kData = 0x00, kConstant = 0x01, kArray = 0x00, kVariable = 0x02, kRelative = 0x04,
                        kNullState = 0x40;

}  // namespace items

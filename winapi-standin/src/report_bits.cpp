#include "report_bits.h"

namespace standin::detail {

std::uint32_t ReadBits(const std::uint8_t* report, std::uint32_t reportBytes, std::uint32_t offset,
                       std::uint32_t bits) {
  std::uint32_t value = 0;
  const std::uint32_t width = bits < 32 ? bits : 32;
  for (std::uint32_t i = 0; i < width; ++i) {
    const std::uint32_t bit = offset + i;
    if (bit / 8 >= reportBytes) break;
    if ((report[bit / 8] >> (bit % 8)) & 1u) value |= 1u << i;
  }
  return value;
}

void WriteBits(std::uint8_t* report, std::uint32_t reportBytes, std::uint32_t offset, std::uint32_t bits,
               std::uint32_t value) {
  for (std::uint32_t i = 0; i < bits; ++i) {
    const std::uint32_t bit = offset + i;
    if (bit / 8 >= reportBytes) break;
    const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
    const bool set = i < 32 && ((value >> i) & 1u);
    report[bit / 8] = static_cast<std::uint8_t>(set ? report[bit / 8] | mask : report[bit / 8] & ~mask);
  }
}

std::int32_t SignExtend(std::uint32_t raw, std::uint32_t bits) {
  if (bits == 0 || bits >= 32) return static_cast<std::int32_t>(raw);
  const std::uint32_t sign = 1u << (bits - 1);
  const std::uint32_t field = raw & ((sign << 1) - 1);
  return static_cast<std::int32_t>(field ^ sign) - static_cast<std::int32_t>(sign);
}

}  // namespace standin::detail

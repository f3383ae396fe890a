// Fields of a report as the HID class lays them out: little-endian bit
// fields, the first bit of the report being bit 0 of byte 0.
#pragma once

#include <cstdint>

namespace standin::detail {

// The low 32 bits at most of the field; bits past the report's end read 0.
std::uint32_t ReadBits(const std::uint8_t* report, std::uint32_t reportBytes, std::uint32_t offset,
                       std::uint32_t bits);
// Stores the low bits of `value` (32 at most; a wider field's higher bits
// become 0); bits past the report's end are not written.
void WriteBits(std::uint8_t* report, std::uint32_t reportBytes, std::uint32_t offset, std::uint32_t bits,
               std::uint32_t value);
// The field's bits as a two's complement number of that width.
std::int32_t SignExtend(std::uint32_t raw, std::uint32_t bits);

}  // namespace standin::detail

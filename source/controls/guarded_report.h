// A report as the Xtra hands it to hid.dll, with room beyond its end that
// must still be as it was afterwards. Wine 8 reads and writes the button of
// a usage range at the field's first bit plus the usage's place in the
// range, however few fields the range has: a 64-button field declaring
// usages 0 to 0xFFFF reaches 8 KiB past its report. No usage beyond a field
// is asked for; the room keeps what the system reads there anyway inside
// memory the Xtra owns, and shows what it wrote there.
#pragma once

#include <cstdint>
#include <vector>

#include "platform.h"

class GuardedReport {
 public:
  explicit GuardedReport(uint32_t length = 0) : bytes_(length + kRoom), length_(length) {}
  GuardedReport(const uint8_t* report, uint32_t length);

  PCHAR Data() { return bytes_.data(); }
  ULONG Length() const { return length_; }
  uint8_t operator[](uint32_t at) const { return static_cast<uint8_t>(bytes_[at]); }
  std::vector<uint8_t> Report() const { return {bytes_.begin(), bytes_.begin() + length_}; }
  // Whether the room is still all zeros: zeros, so that a system reading a
  // range past the report finds no button on there.
  bool Intact() const;

 private:
  // A range's usages, one bit each, span at most 65,536 bits past its first
  // field; Wine copies a field through 16-bit reads, one byte beyond.
  static constexpr uint32_t kRoom = 65536 / 8 + 2;

  std::vector<char> bytes_;
  uint32_t length_;
};

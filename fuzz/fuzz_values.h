// Lingo values made from a fuzzer's bytes, as a movie could hand them over:
// integers, strings, pictures, floats, lists nested deep, and property lists
// whose keys are symbols or strings, named after collection properties or
// not.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "lingo_values.h"
#include "moa_contract.h"

class FuzzReader {
 public:
  FuzzReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  uint8_t Byte() { return empty() ? 0 : data_[at_++]; }
  int32_t Integer() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
    return static_cast<int32_t>(value);
  }
  // Up to `most` bytes as a text, which may hold any byte but NUL.
  std::string Text(size_t most) {
    std::string text;
    for (size_t length = Byte() % (most + 1); length > 0 && !empty(); --length)
      if (const uint8_t byte = Byte()) text += static_cast<char>(byte);
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The host declares Director's value itself: the same 8 bytes as the Xtra's.
inline MoaMmValue ForXtra(const director::MoaMmValue& value) {
  static_assert(sizeof(MoaMmValue) == sizeof value);
  MoaMmValue same;
  std::memcpy(&same, &value, sizeof same);
  return same;
}

inline director::MoaMmValue MakeFuzzValue(LingoValueStore& values, FuzzReader& in, int depth) {
  static const char* const kKeys[] = {"VendorID", "productid", "Product", "PATH", "UsagePage", "Protected", "x"};
  switch (in.Byte() % 9) {
    case 0:
      return values.Integer(in.Integer());
    case 1:
      return values.String(std::string(in.Byte() * 64u, static_cast<char>('a' + in.Byte() % 26)));
    case 2:
      return values.Picture();
    case 3:
      return values.Float(in.Byte());
    case 4:
    case 5: {
      const director::MoaMmValue list = depth < 80 ? values.List() : values.Integer(depth);
      for (int count = in.Byte() % 5; depth < 80 && count > 0 && !in.empty(); --count) {
        const director::MoaMmValue item = MakeFuzzValue(values, in, depth + 1);
        values.Append(list, item);
        values.Release(item);
      }
      return list;
    }
    case 6:
    case 7: {
      const director::MoaMmValue list = values.PropList();
      for (int count = in.Byte() % 4; depth < 80 && count > 0 && !in.empty(); --count) {
        const uint8_t pick = in.Byte();
        const std::string name = pick % 8 < 7 ? kKeys[pick % 8] : in.Text(12);
        const director::MoaMmValue key =
            pick & 0x80 || name.empty() ? values.String(name) : values.Symbol(name);
        const director::MoaMmValue item = pick & 0x40 ? values.String(in.Text(40)) : MakeFuzzValue(values, in, depth + 1);
        values.AppendProperty(list, key, item);
        values.Release(key);
        values.Release(item);
      }
      return list;
    }
    default:
      return director::kVoidMoaMmValue;
  }
}

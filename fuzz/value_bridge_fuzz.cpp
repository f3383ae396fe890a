// Random nested Lingo values through the conversions to output bytes and to
// log text: whatever the nesting and sizes, nothing is read or written out
// of bounds and every value goes back to the host.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "director_host.h"
#include "values/host_services.h"

namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  uint8_t Byte() { return empty() ? 0 : data_[at_++]; }
  int32_t Integer() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
    return static_cast<int32_t>(value);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The host declares Director's value itself: the same 8 bytes as the Xtra's.
MoaMmValue ForXtra(const director::MoaMmValue& value) {
  static_assert(sizeof(MoaMmValue) == sizeof value);
  MoaMmValue same;
  std::memcpy(&same, &value, sizeof same);
  return same;
}

director::MoaMmValue MakeValue(LingoValueStore& values, Reader& in, int depth) {
  switch (in.Byte() % 8) {
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
        const director::MoaMmValue item = MakeValue(values, in, depth + 1);
        values.Append(list, item);
        values.Release(item);
      }
      return list;
    }
    case 6: {
      const director::MoaMmValue list = values.PropList();
      const director::MoaMmValue key = values.Symbol("k");
      const director::MoaMmValue item = MakeValue(values, in, depth + 1);
      values.AppendProperty(list, key, item);
      values.Release(key);
      values.Release(item);
      return list;
    }
    default:
      return director::kVoidMoaMmValue;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DirectorHost host;
  {
    HostServices services(static_cast<IMoaCallback*>(host.callback().door()));
    Reader in(data, size);
    std::vector<uint8_t> payload(HostServices::kPayloadCapacity);
    std::vector<char> text(HostServices::kLogTextCapacity, '\0');
    uint32_t count = 0;
    size_t length = 0;
    while (!in.empty()) {
      const director::MoaMmValue made = MakeValue(host.values(), in, 0);
      const MoaMmValue value = ForXtra(made);
      services.ValueToBytes(&value, payload.data(), count);
      services.ValueToLogText(&value, text.data(), length);
      host.values().Release(made);
    }
    if (count > HostServices::kPayloadCapacity || length >= HostServices::kLogTextCapacity || text[length] != '\0')
      std::abort();
  }
  if (!host.Leaks().empty()) {
    for (const std::string& leak : host.Leaks()) std::fprintf(stderr, "left behind: %s\n", leak.c_str());
    std::abort();
  }
  return 0;
}

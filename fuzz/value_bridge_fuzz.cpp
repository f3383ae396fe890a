// Random nested Lingo values through the conversions to output bytes and to
// log text: whatever the nesting and sizes, nothing is read or written out
// of bounds and every value goes back to the host.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "director_host.h"
#include "fuzz_values.h"
#include "values/host_services.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DirectorHost host;
  {
    HostServices services(static_cast<IMoaCallback*>(host.callback().door()));
    FuzzReader in(data, size);
    std::vector<uint8_t> payload(HostServices::kPayloadCapacity);
    std::vector<char> text(HostServices::kLogTextCapacity, '\0');
    uint32_t count = 0;
    size_t length = 0;
    while (!in.empty()) {
      const director::MoaMmValue made = MakeFuzzValue(host.values(), in, 0);
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

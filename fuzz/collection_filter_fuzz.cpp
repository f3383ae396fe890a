// FindHidDevices' filter as a movie may give it: any value, property lists
// with any keys and values. Reading it never reads out of bounds, a filter
// read whole decides on any collection, and every value goes back to the
// host.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "director_host.h"
#include "fuzz_values.h"
#include "host/collection_properties.h"
#include "values/host_services.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DirectorHost host;
  {
    HostServices services(static_cast<IMoaCallback*>(host.callback().door()));
    FuzzReader in(data, size);
    HidCollectionInfo collection;
    collection.path = in.Text(64);
    collection.device.VendorID = in.Integer();
    for (int i = 0; i < 8; ++i) collection.device.Product[i] = in.Byte();
    collection.caps.UsagePage = static_cast<uint16_t>(in.Integer());
    while (!in.empty()) {
      const director::MoaMmValue made = MakeFuzzValue(host.values(), in, 0);
      CollectionFilter filter;
      std::string error;
      const bool read = filter.Read(services, ForXtra(made), error);
      if (read != error.empty()) std::abort();  // a refusal always says why, and only a refusal
      if (read) filter.Passes(collection);
      host.values().Release(made);
    }
  }
  if (!host.Leaks().empty()) {
    for (const std::string& leak : host.Leaks()) std::fprintf(stderr, "left behind: %s\n", leak.c_str());
    std::abort();
  }
  return 0;
}

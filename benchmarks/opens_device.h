// The device the open and listing benchmarks use, one per platform: a
// simulated device natively, a virtual HID device through Windows' HID
// class driver under Wine. Both have 64-byte input, output and feature
// reports.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct OpensDevice {
  std::string name;     // where the figures come from
  uint16_t vendorId;
  uint16_t productId;
  std::string product;  // ASCII
  std::string path;
};

// Plugs the device in; it is pulled out when the answer goes. Null, with
// why on stderr, when it cannot be plugged.
std::shared_ptr<const OpensDevice> PlugOpensDevice();

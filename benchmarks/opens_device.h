// The device the open, listing and input benchmarks use, one per platform: a
// simulated device natively, a virtual HID device through Windows' HID
// class driver under Wine. Both have 64-byte input, output and feature
// reports, unnumbered.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct OpensDevice {
  std::string name;     // where the figures come from
  uint16_t vendorId;
  uint16_t productId;
  std::string product;  // ASCII
  std::string path;
  // The device sends the report (byte 0 the report ID, 0); false when it
  // could not. Safe from any thread while the device is plugged in.
  std::function<bool(const std::vector<uint8_t>&)> send;
};

// Plugs the device in; it is pulled out when the answer goes. Null, with
// why on stderr, when it cannot be plugged.
std::shared_ptr<const OpensDevice> PlugOpensDevice();

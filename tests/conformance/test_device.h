// A HID device of the test's own: natively on the stand-in's simulated bus,
// under Wine a virtual device (virtual-hid/) seen through Wine's own HID
// class driver, hid.dll and setup API, as a real USB device would be.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "report_descriptor.h"

class TestDevice {
 public:
  // Plugs it in; plugged() tells whether that worked. Unplugged when it goes.
  TestDevice(std::uint16_t vendorId, std::uint16_t productId, const ReportLayout& layout);
  // Plugs it from a whole report descriptor, which may hold several
  // top-level collections.
  TestDevice(std::uint16_t vendorId, std::uint16_t productId, const std::vector<std::uint8_t>& reportDescriptor);
  ~TestDevice();
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;

  bool plugged() const;
  // Why it is not plugged in, when it is not.
  const std::string& failure() const;
  // Its (first) HID collection's path, as the setup API lists it.
  const std::string& path() const;
  // The path of every collection the platform made of it, in the
  // descriptor's order.
  const std::vector<std::string>& paths() const;
  // The device sends the report: its ID first, 0 when it numbers none,
  // zero-padded to the input length, as a device sends whole reports.
  bool Send(const std::vector<std::uint8_t>& report);
  // The output and feature reports it received since the last call, each
  // as applications write them, the report ID first.
  std::vector<std::vector<std::uint8_t>> TakeReceived();
  bool Stall(bool stalled);
  bool Unplug();

 private:
  struct Platform;
  std::unique_ptr<Platform> platform_;
};

inline const std::string& TestDevice::path() const {
  static const std::string none;
  return paths().empty() ? none : paths().front();
}

// The device object alone over the stand-in's simulated bus: each test
// starts with an empty bus and ends, once the readers have ended on their
// own, with no handle left behind.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "device/usb_class_pc.h"
#include "eventually.h"
#include "pad_ids.h"
#include "standin/control.h"

class DeviceOnBus : public testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override {
    objects_.clear();
    EXPECT_TRUE(standin::AwaitThreadsEnded(std::chrono::seconds(5))) << "readers end on their own";
    EXPECT_EQ(standin::OpenHandleCount(), 0u) << standin::DescribeOpenHandles();
    standin::Reset();
  }

  // The pad of pad_ids.h: "Pad", release 1.02, its reports both ways,
  // usage page 1, usage 5.
  static standin::DeviceSpec Pad(const char16_t* serial = u"123") {
    standin::DeviceSpec pad;
    pad.vendorId = kPadVendorId;
    pad.productId = kPadProductId;
    pad.versionNumber = 0x0102;
    pad.product = u"Pad";
    pad.manufacturer = u"Logi";
    pad.serialNumber = serial;
    pad.caps.UsagePage = 1;
    pad.caps.Usage = 5;
    pad.caps.InputReportByteLength = kPadReportLength;
    pad.caps.OutputReportByteLength = kPadReportLength;
    return pad;
  }

  // A device object of the test's, destroyed (closing its device) at the end.
  UsbClassPC& NewObject() {
    objects_.push_back(std::make_unique<UsbClassPC>());
    return *objects_.back();
  }

  // Waits until the object's reader has stored `count` packets.
  static bool WaitForPackets(UsbClassPC& object, int count);

 private:
  std::vector<std::unique_ptr<UsbClassPC>> objects_;
};

inline bool DeviceOnBus::WaitForPackets(UsbClassPC& object, int count) {
  return Eventually([&] { return static_cast<int>(object.input().Packets()) == count; });
}

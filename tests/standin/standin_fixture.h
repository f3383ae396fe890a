// Each test starts on an empty bus and must close everything it opened.
#pragma once

#include <gtest/gtest.h>

#include "eventually.h"
#include "standin/control.h"
#include "winapi_standin.h"

class StandinTest : public testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override {
    EXPECT_EQ(standin::OpenHandleCount(), 0u) << standin::DescribeOpenHandles();
    EXPECT_TRUE(standin::PendingFaults().empty());
    standin::Reset();
  }

  // A device with 8-byte input and 4-byte output reports.
  static standin::DeviceSpec Board(std::uint16_t productId = 0x0100) {
    standin::DeviceSpec traits;
    traits.vendorId = 0x16C0;
    traits.productId = productId;
    traits.versionNumber = 0x0102;
    traits.product = u"Test board";
    traits.caps.UsagePage = 0xFF00;
    traits.caps.Usage = 1;
    traits.caps.InputReportByteLength = 8;
    traits.caps.OutputReportByteLength = 4;
    return traits;
  }

  static HANDLE Open(standin::DeviceId device, DWORD flags = FILE_FLAG_OVERLAPPED) {
    return CreateFileA(standin::DevicePath(device).c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
  }
};

// A test of one plugged device through one open file, closed at the end.
class OpenDeviceTest : public StandinTest {
 protected:
  void PlugAndOpen(const standin::DeviceSpec& traits, DWORD flags = FILE_FLAG_OVERLAPPED) {
    device = standin::PlugDevice(traits);
    file = Open(device, flags);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
  }
  void TearDown() override {
    CloseHandle(file);
    StandinTest::TearDown();
  }
  standin::DeviceId device = 0;
  HANDLE file = INVALID_HANDLE_VALUE;
};

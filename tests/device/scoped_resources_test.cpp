// The owners of what Windows hands out: whatever path the code holding one
// takes, each thing is given back exactly once.
#include "device/scoped_resources.h"

#include <utility>

#include "device_on_bus.h"
#include "standin/simulated_bus.h"

namespace {

using ScopedResources = DeviceOnBus;

ScopedHandle OpenPad(const std::string& path) {
  return ScopedHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
}

TEST_F(ScopedResources, EachOwnerGivesBackWhatItHoldsWhenItGoes) {
  const std::string path = standin::DevicePath(standin::PlugDevice(Pad()));
  {
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    const ScopedDeviceInfoSet set(
        SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    const ScopedHandle device = OpenPad(path);
    ScopedPreparsedData preparsed;
    ASSERT_TRUE(set && device);
    ASSERT_TRUE(HidD_GetPreparsedData(device.get(), preparsed.receive()));
    // Receiving again gives back the first before the second comes.
    ASSERT_TRUE(HidD_GetPreparsedData(device.get(), preparsed.receive()));
    EXPECT_EQ(standin::DescribeOpenHandles(), "1 device info set, 1 file, 1 preparsed data");
  }
  EXPECT_EQ(standin::OpenHandleCount(), 0u) << standin::DescribeOpenHandles();
}

TEST_F(ScopedResources, OwnershipMovesWholeAndReleaseHandsItOver) {
  ScopedHandle first(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  const HANDLE event = first.get();
  ScopedHandle second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(second.get(), event);
  second = ScopedHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  EXPECT_EQ(standin::OpenHandleCount(), 1u) << "the event moved over is closed when replaced";

  const HANDLE handedOver = second.release();
  EXPECT_FALSE(second);
  EXPECT_EQ(standin::OpenHandleCount(), 1u);
  CloseHandle(handedOver);
}

TEST_F(ScopedResources, WhatTheSystemCallsNoneIsHeldAsEmptyAndNeverClosed) {
  const ScopedHandle invalid(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(invalid);
  EXPECT_EQ(invalid.get(), nullptr);
  // A failed open answers INVALID_HANDLE_VALUE with the last error set.
  const ScopedHandle missing = OpenPad("\\\\?\\hid#nothing");
  EXPECT_FALSE(missing);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  const ScopedDeviceInfoSet noSet(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(noSet);
}

}  // namespace

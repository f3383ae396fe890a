// An open handle on a device interface path.
#pragma once

#include <memory>

#include "simulated_device.h"

namespace standin::detail {

struct DeviceFile : KernelObject {
  static constexpr ObjectKind kKind = ObjectKind::File;
  DeviceFile(std::shared_ptr<SimulatedDevice> openedDevice, DWORD desiredAccess, DWORD shareMode, bool isOverlapped)
      : KernelObject(kKind),
        device(std::move(openedDevice)),
        access(desiredAccess),
        share(shareMode),
        overlapped(isOverlapped) {}
  const std::shared_ptr<SimulatedDevice> device;
  const DWORD access;
  const DWORD share;
  const bool overlapped;
};

// With the kernel locked: the file's device if it is still connected;
// otherwise null with the last error set (bad handle, or device gone).
std::shared_ptr<SimulatedDevice> ConnectedDeviceOf(HANDLE file);

}  // namespace standin::detail

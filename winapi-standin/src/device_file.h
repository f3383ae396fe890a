// An open handle on a device interface path.
#pragma once

#include <functional>
#include <memory>

#include "simulated_device.h"

namespace standin::detail {

struct DeviceFile : KernelObject {
  static constexpr ObjectKind kKind = ObjectKind::File;
  // With the kernel locked: joins the device's handles, each with its own
  // input queue, until CloseHandle.
  DeviceFile(std::shared_ptr<SimulatedDevice> openedDevice, DWORD desiredAccess, DWORD shareMode, bool isOverlapped)
      : KernelObject(kKind),
        device(std::move(openedDevice)),
        access(desiredAccess),
        share(shareMode),
        overlapped(isOverlapped),
        input(std::make_shared<InputQueue>(this, device->traits.inputQueueCapacity)) {
    device->inputQueues.push_back(input);
  }
  const std::shared_ptr<SimulatedDevice> device;
  const DWORD access;
  const DWORD share;
  const bool overlapped;
  const std::shared_ptr<InputQueue> input;
};

// With the kernel locked: the file's device if it is still connected;
// otherwise null with the last error set (bad handle, or device gone).
std::shared_ptr<SimulatedDevice> ConnectedDeviceOf(HANDLE file);
// With the kernel locked: the open file itself, under the same conditions.
std::shared_ptr<DeviceFile> ConnectedFileOf(HANDLE file);
// With the kernel locked: a request the device takes with `take`, which
// answers the bytes it moved. While the device is stalled an overlapped
// request waits (ERROR_IO_PENDING) and a synchronous one blocks until it is
// unstalled, cancelled or unplugged.
BOOL TakeRequest(KernelLock& lock, DeviceFile& file, std::function<DWORD(SimulatedDevice&)> take, LPDWORD moved,
                 LPOVERLAPPED overlapped);

}  // namespace standin::detail

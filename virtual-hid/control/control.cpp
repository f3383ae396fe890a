// The private requests to a device, and the owner of a plugged device.
#include "virtual_hid.h"

#include <winioctl.h>

#include "../protocol.h"

namespace vhid {

DWORD Control::Open(const std::wstring& hidPath) {
  // No access asked: the requests need none, and the handle then stands in
  // the way of no test that opens the device for reading or writing.
  HANDLE handle = CreateFileW(hidPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  handle_.reset(handle);
  return ERROR_SUCCESS;
}

void Control::Close() { handle_.reset(); }

DWORD Control::Send(DWORD code, const std::vector<BYTE>& input) const {
  DWORD returned = 0;
  if (!handle_) return ERROR_INVALID_HANDLE;
  if (!DeviceIoControl(handle_.get(), code, const_cast<BYTE*>(input.data()), static_cast<DWORD>(input.size()),
                       nullptr, 0, &returned, nullptr))
    return GetLastError();
  return ERROR_SUCCESS;
}

DWORD Control::PushInput(const std::vector<BYTE>& report) const { return Send(IOCTL_VHID_PUSH_INPUT, report); }

DWORD Control::PresetFeature(const std::vector<BYTE>& report) const {
  return Send(IOCTL_VHID_PRESET_FEATURE, report);
}

DWORD Control::Stall() const { return Send(IOCTL_VHID_STALL, {}); }

DWORD Control::Unstall() const { return Send(IOCTL_VHID_UNSTALL, {}); }

DWORD Control::PopReceived(std::vector<ReceivedReport>* reports) const {
  if (!handle_) return ERROR_INVALID_HANDLE;
  for (;;) {
    BYTE record[1 + VHID_MAX_REPORT];
    DWORD returned = 0;
    if (!DeviceIoControl(handle_.get(), IOCTL_VHID_POP_RECEIVED, nullptr, 0, record, sizeof record, &returned,
                         nullptr))
      return GetLastError();
    if (returned == 0) return ERROR_SUCCESS;
    reports->push_back({static_cast<Arrival>(record[0]), std::vector<BYTE>(record + 1, record + returned)});
  }
}

DWORD PluggedDevice::Plug(const std::wstring& infPath) {
  if (plugged_) return ERROR_ALREADY_EXISTS;
  DWORD error = PlugDevice(spec_, infPath);
  if (error) return error;
  plugged_ = true;
  error = FindHidPath(InstanceId(spec_), &path_);
  if (!error) error = control_.Open(path_);
  if (error) Unplug();
  return error;
}

DWORD PluggedDevice::Unplug() {
  if (!plugged_) return ERROR_SUCCESS;
  control_.Close();
  plugged_ = false;
  path_.clear();
  return UnplugDevice(InstanceId(spec_));
}

}  // namespace vhid

// Virtual HID devices for tests under Wine: plug one in with any report
// descriptor, ids and strings, make it send input, see what it received,
// and unplug it. Devices are served by hbvhid.sys, installed from hbvhid.inf.
//
// A device plugged into a Wine prefix stays there across Wine restarts until
// it is unplugged: tests own what they plug (PluggedDevice), and
// RemoveAllDevices clears what a crashed run left.
//
// Every call answers a Windows error code, ERROR_SUCCESS when it worked.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vhid {

struct DeviceSpec {
  // Names the device among the virtual ones with the same ids; its HID path
  // is \\?\hid#vid_VVVV&pid_PPPP#<instance>#{...}.
  std::wstring instance = L"0000";
  USHORT vendorId = 0;
  USHORT productId = 0;
  USHORT versionNumber = 0;
  std::wstring manufacturer, product, serialNumber;  // empty: the device has no such string
  std::vector<BYTE> reportDescriptor;
};

// ROOT\VID_VVVV&PID_PPPP\<instance>, the device's instance ID.
std::wstring InstanceId(const DeviceSpec& spec);

// hbvhid.inf beside the running program, where the build puts it.
std::wstring DefaultInfPath();

// Plugs the device in (installing the driver for it) and waits until its
// HID collection opens. The device stays until UnplugDevice.
DWORD PlugDevice(const DeviceSpec& spec, const std::wstring& infPath = DefaultInfPath());
// Removes the device and waits until its HID collection is gone.
DWORD UnplugDevice(const std::wstring& instanceId);
// The instance IDs of the virtual devices in the prefix, present or not.
DWORD ListDevices(std::vector<std::wstring>* instanceIds);
// Removes every virtual device in the prefix.
DWORD RemoveAllDevices();
// The HID path of a present device's collection.
DWORD FindHidPath(const std::wstring& instanceId, std::wstring* path);

enum class Arrival : BYTE {
  InterruptWrite = 1,  // WriteFile
  OutputReport = 2,    // HidD_SetOutputReport, over the control pipe
  SetFeature = 3,      // HidD_SetFeature
};

// Reports go as applications write and read them: the report ID first, 0 for
// a device that does not number its reports.
struct ReceivedReport {
  Arrival how;
  std::vector<BYTE> bytes;
  bool operator==(const ReceivedReport& other) const { return how == other.how && bytes == other.bytes; }
};

// The test's line to one present device.
class Control {
 public:
  // Opens the device's HID path.
  DWORD Open(const std::wstring& hidPath);
  void Close();

  // The device sends the report, and answers HidD_GetInputReport with it.
  DWORD PushInput(const std::vector<BYTE>& report) const;
  // HidD_GetFeature answers with the report until a HidD_SetFeature for its ID.
  DWORD PresetFeature(const std::vector<BYTE>& report) const;
  // Appends what the device received since the last call, oldest first;
  // then fails if the device's log was full when more came.
  DWORD PopReceived(std::vector<ReceivedReport>* reports) const;
  // Writes, output and feature reports and input report requests wait from
  // Stall until Unstall, which lets them through in order; cancelling one
  // or unplugging the device ends it.
  DWORD Stall() const;
  DWORD Unstall() const;

 private:
  DWORD Send(DWORD code, const std::vector<BYTE>& input) const;
  struct CloseHandleDeleter {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
  };
  std::unique_ptr<void, CloseHandleDeleter> handle_;
};

// A device that a test plugs in and that is gone again when this goes.
class PluggedDevice {
 public:
  explicit PluggedDevice(DeviceSpec spec) : spec_(std::move(spec)) {}
  ~PluggedDevice() { Unplug(); }
  PluggedDevice(const PluggedDevice&) = delete;
  PluggedDevice& operator=(const PluggedDevice&) = delete;

  DWORD Plug(const std::wstring& infPath = DefaultInfPath());
  DWORD Unplug();

  bool plugged() const { return plugged_; }
  const std::wstring& path() const { return path_; }
  const Control& control() const { return control_; }

 private:
  DeviceSpec spec_;
  bool plugged_ = false;
  std::wstring path_;
  Control control_;
};

}  // namespace vhid

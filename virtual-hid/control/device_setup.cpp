// Plugging and unplugging virtual devices the way Wine's setup API installs
// a root-enumerated device: register the device node, give it its hardware
// key, then install the driver for its hardware ID.
#include "virtual_hid.h"

#include <setupapi.h>
// After setupapi.h, whose types it uses.
#include <newdev.h>
#include <cfgmgr32.h>

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <thread>

extern "C" {
#include <hidsdi.h>
}

namespace vhid {
namespace {

const wchar_t kHardwareId[] = L"HIDBRIDGE\\VHID";

// Wine shows the collection 50 to 300 ms after the install starts, and takes
// it away within 50 ms of the removal; only a failure waits this long.
constexpr auto kSettleTimeout = std::chrono::seconds(5);

struct DeviceInfoSetDeleter {
  void operator()(HDEVINFO set) const { SetupDiDestroyDeviceInfoList(set); }
};
using DeviceInfoSet = std::unique_ptr<void, DeviceInfoSetDeleter>;

DeviceInfoSet OwnSet(HDEVINFO set) { return DeviceInfoSet(set == INVALID_HANDLE_VALUE ? nullptr : set); }

DWORD LastError() {
  const DWORD error = GetLastError();
  return error ? error : ERROR_GEN_FAILURE;
}

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// hidclass names the collection after its device's ID without the
// enumerator: ROOT\VID_1209&PID_0001\0000 is \\?\hid#vid_1209&pid_0001#0000#.
std::wstring HidPathStem(const std::wstring& instanceId) {
  std::wstring rest = Lower(instanceId.substr(instanceId.find(L'\\') + 1));
  std::replace(rest.begin(), rest.end(), L'\\', L'#');
  return L"\\\\?\\hid#" + rest + L"#";
}

template <class Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + kSettleTimeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

DWORD SetValue(HKEY key, const wchar_t* name, DWORD type, const void* data, size_t size) {
  return RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
}

DWORD SetString(HKEY key, const wchar_t* name, const std::wstring& text) {
  if (text.empty()) return ERROR_SUCCESS;
  return SetValue(key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// What the driver reads when the device starts.
DWORD WriteHardwareKey(HDEVINFO set, SP_DEVINFO_DATA* device, const DeviceSpec& spec) {
  HKEY key = SetupDiCreateDevRegKeyW(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
  if (key == INVALID_HANDLE_VALUE) return LastError();
  const DWORD ids[] = {spec.vendorId, spec.productId, spec.versionNumber};
  DWORD error = SetValue(key, L"VendorID", REG_DWORD, &ids[0], sizeof ids[0]);
  if (!error) error = SetValue(key, L"ProductID", REG_DWORD, &ids[1], sizeof ids[1]);
  if (!error) error = SetValue(key, L"VersionNumber", REG_DWORD, &ids[2], sizeof ids[2]);
  if (!error)
    error = SetValue(key, L"ReportDescriptor", REG_BINARY, spec.reportDescriptor.data(), spec.reportDescriptor.size());
  if (!error) error = SetString(key, L"Manufacturer", spec.manufacturer);
  if (!error) error = SetString(key, L"Product", spec.product);
  if (!error) error = SetString(key, L"SerialNumber", spec.serialNumber);
  RegCloseKey(key);
  return error;
}

// The device node, registered, with its hardware key; without a driver yet.
DWORD RegisterDevice(const DeviceSpec& spec) {
  const DeviceInfoSet set = OwnSet(SetupDiCreateDeviceInfoList(nullptr, nullptr));
  if (!set) return LastError();
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  const GUID noClass{};
  static const wchar_t hardwareIds[] = L"HIDBRIDGE\\VHID\0";
  if (!SetupDiCreateDeviceInfoW(set.get(), InstanceId(spec).c_str(), &noClass, nullptr, nullptr, 0, &device) ||
      !SetupDiSetDeviceRegistryPropertyW(set.get(), &device, SPDRP_HARDWAREID,
                                         reinterpret_cast<const BYTE*>(hardwareIds), sizeof hardwareIds) ||
      !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set.get(), &device))
    return LastError();
  // Wine refuses the hardware key of a device that is not registered yet.
  const DWORD error = WriteHardwareKey(set.get(), &device, spec);
  if (error) SetupDiCallClassInstaller(DIF_REMOVE, set.get(), &device);
  return error;
}

}  // namespace

std::wstring InstanceId(const DeviceSpec& spec) {
  wchar_t ids[32];
  swprintf(ids, 32, L"ROOT\\VID_%04X&PID_%04X\\", spec.vendorId, spec.productId);
  return ids + spec.instance;
}

std::wstring DefaultInfPath() {
  wchar_t program[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path(program, length);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"hbvhid.inf";
}

DWORD FindHidPath(const std::wstring& instanceId, std::wstring* path) {
  GUID hid;
  HidD_GetHidGuid(&hid);
  const DeviceInfoSet set = OwnSet(SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set) return LastError();
  const std::wstring stem = HidPathStem(instanceId);
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set.get(), nullptr, &hid, i, &data); ++i) {
    union {
      SP_DEVICE_INTERFACE_DETAIL_DATA_W detail;
      BYTE storage[1024];
    } buffer;
    buffer.detail.cbSize = sizeof buffer.detail;
    if (SetupDiGetDeviceInterfaceDetailW(set.get(), &data, &buffer.detail, sizeof buffer, nullptr, nullptr) &&
        Lower(buffer.detail.DevicePath).compare(0, stem.size(), stem) == 0) {
      *path = buffer.detail.DevicePath;
      return ERROR_SUCCESS;
    }
  }
  return ERROR_NOT_FOUND;
}

DWORD PlugDevice(const DeviceSpec& spec, const std::wstring& infPath) {
  const std::wstring instanceId = InstanceId(spec);
  DWORD error = RegisterDevice(spec);
  if (error) return error;
  wchar_t inf[MAX_PATH];
  BOOL reboot = FALSE;
  if (!GetFullPathNameW(infPath.c_str(), MAX_PATH, inf, nullptr) ||
      !UpdateDriverForPlugAndPlayDevicesW(nullptr, kHardwareId, inf, INSTALLFLAG_FORCE, &reboot))
    error = LastError();
  std::wstring path;
  if (!error && !WaitFor([&] { return FindHidPath(instanceId, &path) == ERROR_SUCCESS; })) error = ERROR_TIMEOUT;
  if (error) UnplugDevice(instanceId);
  return error;
}

DWORD UnplugDevice(const std::wstring& instanceId) {
  const DeviceInfoSet set = OwnSet(SetupDiCreateDeviceInfoList(nullptr, nullptr));
  if (!set) return LastError();
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  if (!SetupDiOpenDeviceInfoW(set.get(), instanceId.c_str(), nullptr, 0, &device) ||
      !SetupDiCallClassInstaller(DIF_REMOVE, set.get(), &device))
    return LastError();
  std::wstring path;
  return WaitFor([&] { return FindHidPath(instanceId, &path) == ERROR_NOT_FOUND; }) ? ERROR_SUCCESS : ERROR_TIMEOUT;
}

DWORD ListDevices(std::vector<std::wstring>* instanceIds) {
  const DeviceInfoSet set = OwnSet(SetupDiGetClassDevsW(nullptr, L"ROOT", nullptr, DIGCF_ALLCLASSES));
  if (!set) return LastError();
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set.get(), i, &device); ++i) {
    wchar_t hardwareIds[256] = {};
    wchar_t instanceId[MAX_DEVICE_ID_LEN];
    if (SetupDiGetDeviceRegistryPropertyW(set.get(), &device, SPDRP_HARDWAREID, nullptr,
                                          reinterpret_cast<BYTE*>(hardwareIds), sizeof hardwareIds - 4, nullptr) &&
        _wcsicmp(hardwareIds, kHardwareId) == 0 &&
        SetupDiGetDeviceInstanceIdW(set.get(), &device, instanceId, MAX_DEVICE_ID_LEN, nullptr))
      instanceIds->push_back(instanceId);
  }
  return ERROR_SUCCESS;
}

DWORD RemoveAllDevices() {
  std::vector<std::wstring> instanceIds;
  DWORD firstError = ListDevices(&instanceIds);
  for (const auto& instanceId : instanceIds) {
    const DWORD error = UnplugDevice(instanceId);
    if (!firstError) firstError = error;
  }
  return firstError;
}

}  // namespace vhid

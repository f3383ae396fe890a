#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "faults.h"
#include "hid_guid.h"
#include "simulated_device.h"
#include "standin/kernel.h"
#include "standin/setupapi.h"
#include "text_conversions.h"

using namespace standin::detail;

namespace {

struct InterfaceEntry {
  standin::DeviceId device;
  std::string path;
};

// The interfaces present when the set was made; later plugs and unplugs do
// not change it, as on Windows.
struct InterfaceSnapshot : KernelObject {
  static constexpr ObjectKind kKind = ObjectKind::DeviceInfoSet;
  explicit InterfaceSnapshot(std::vector<InterfaceEntry> present) : KernelObject(kKind), interfaces(std::move(present)) {}
  const std::vector<InterfaceEntry> interfaces;
};

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// SP_DEVICE_INTERFACE_DATA.Reserved names the entry, counted from one.
const InterfaceEntry* EntryOf(const InterfaceSnapshot& set, const SP_DEVICE_INTERFACE_DATA& data) {
  if (data.Reserved == 0 || data.Reserved > set.interfaces.size()) return nullptr;
  return &set.interfaces[data.Reserved - 1];
}

}  // namespace

const FaultPoint kSetupDiGetClassDevsAFault{"SetupDiGetClassDevsA"};

extern "C" HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR, HWND, DWORD Flags) {
  if (kSetupDiGetClassDevsAFault.Fails()) return INVALID_HANDLE_VALUE;
  if (!ClassGuid && !(Flags & DIGCF_ALLCLASSES)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const bool listsHid = (Flags & DIGCF_DEVICEINTERFACE) && (!ClassGuid || SameGuid(*ClassGuid, kHidInterfaceGuid));
  auto lock = LockKernel();
  std::vector<InterfaceEntry> present;
  if (listsHid)
    for (const auto& [id, device] : TheBus().devices)
      if (device->connected) present.push_back({id, device->path});
  return AddHandle(std::make_shared<InterfaceSnapshot>(std::move(present)));
}

const FaultPoint kSetupDiEnumDeviceInterfacesFault{"SetupDiEnumDeviceInterfaces"};

extern "C" BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA,
                                                   const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                                   PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData) {
  if (kSetupDiEnumDeviceInterfacesFault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto set = Find<InterfaceSnapshot>(DeviceInfoSet);
  if (!set) return Fail(ERROR_INVALID_HANDLE);
  if (!InterfaceClassGuid || !DeviceInterfaceData) return Fail(ERROR_INVALID_PARAMETER);
  if (DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
  if (!SameGuid(*InterfaceClassGuid, kHidInterfaceGuid) || MemberIndex >= set->interfaces.size())
    return Fail(ERROR_NO_MORE_ITEMS);
  DeviceInterfaceData->InterfaceClassGuid = kHidInterfaceGuid;
  DeviceInterfaceData->Flags = SPINT_ACTIVE;
  DeviceInterfaceData->Reserved = MemberIndex + 1;
  return TRUE;
}

namespace {

// The path as the detail's character set writes it, terminator included.
std::string PathBytes(const std::string& path, const SP_DEVICE_INTERFACE_DETAIL_DATA_A*) {
  return std::string(path.c_str(), path.size() + 1);
}

std::string PathBytes(const std::string& path, const SP_DEVICE_INTERFACE_DETAIL_DATA_W*) {
  const std::u16string wide = WideFromUtf8(path);
  return std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(WCHAR));
}

// The usual two calls: first without a buffer, which fails with
// ERROR_INSUFFICIENT_BUFFER and gives the size, then with one that large.
template <class Detail>
BOOL InterfaceDetail(const FaultPoint& fault, HDEVINFO DeviceInfoSet, PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                     Detail* DeviceInterfaceDetailData, DWORD DeviceInterfaceDetailDataSize, PULONG RequiredSize,
                     PSP_DEVINFO_DATA DeviceInfoData) {
  if (fault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto set = Find<InterfaceSnapshot>(DeviceInfoSet);
  if (!set) return Fail(ERROR_INVALID_HANDLE);
  if (!DeviceInterfaceData) return Fail(ERROR_INVALID_PARAMETER);
  if (DeviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
  const InterfaceEntry* entry = EntryOf(*set, *DeviceInterfaceData);
  if (!entry) return Fail(ERROR_INVALID_PARAMETER);
  if (DeviceInterfaceDetailData ? DeviceInterfaceDetailData->cbSize != sizeof(Detail)
                                : DeviceInterfaceDetailDataSize != 0)
    return Fail(ERROR_INVALID_USER_BUFFER);
  if (DeviceInfoData && DeviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
  constexpr std::size_t kPathOffset = offsetof(Detail, DevicePath);
  const std::string path = PathBytes(entry->path, DeviceInterfaceDetailData);
  const auto required = static_cast<DWORD>(kPathOffset + path.size());
  if (RequiredSize) *RequiredSize = required;
  if (!DeviceInterfaceDetailData || DeviceInterfaceDetailDataSize < required) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(reinterpret_cast<char*>(DeviceInterfaceDetailData) + kPathOffset, path.data(), path.size());
  if (DeviceInfoData) {
    DeviceInfoData->ClassGuid = kHidClassGuid;
    DeviceInfoData->DevInst = entry->device;
  }
  return TRUE;
}

}  // namespace

const FaultPoint kSetupDiGetDeviceInterfaceDetailAFault{"SetupDiGetDeviceInterfaceDetailA"};

extern "C" BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO DeviceInfoSet,
                                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_A DeviceInterfaceDetailData,
                                                        DWORD DeviceInterfaceDetailDataSize, PULONG RequiredSize,
                                                        PSP_DEVINFO_DATA DeviceInfoData) {
  return InterfaceDetail(kSetupDiGetDeviceInterfaceDetailAFault, DeviceInfoSet, DeviceInterfaceData,
                         DeviceInterfaceDetailData, DeviceInterfaceDetailDataSize, RequiredSize, DeviceInfoData);
}

const FaultPoint kSetupDiGetDeviceInterfaceDetailWFault{"SetupDiGetDeviceInterfaceDetailW"};

extern "C" BOOL WINAPI SetupDiGetDeviceInterfaceDetailW(HDEVINFO DeviceInfoSet,
                                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_W DeviceInterfaceDetailData,
                                                        DWORD DeviceInterfaceDetailDataSize, PULONG RequiredSize,
                                                        PSP_DEVINFO_DATA DeviceInfoData) {
  return InterfaceDetail(kSetupDiGetDeviceInterfaceDetailWFault, DeviceInfoSet, DeviceInterfaceData,
                         DeviceInterfaceDetailData, DeviceInterfaceDetailDataSize, RequiredSize, DeviceInfoData);
}

const FaultPoint kSetupDiDestroyDeviceInfoListFault{"SetupDiDestroyDeviceInfoList"};

extern "C" BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
  if (kSetupDiDestroyDeviceInfoListFault.Fails()) return FALSE;
  auto lock = LockKernel();
  if (!Find<InterfaceSnapshot>(DeviceInfoSet)) return Fail(ERROR_INVALID_HANDLE);
  RemoveHandle(DeviceInfoSet);
  return TRUE;
}

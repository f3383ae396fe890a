#include <cstring>
#include <optional>
#include <string>

#include "device_file.h"
#include "faults.h"
#include "hid_guid.h"
#include "ntstatus.h"
#include "standin/hid.h"
#include "standin/kernel.h"

using namespace standin::detail;

namespace {

// On Windows a pointer to memory the caller frees with
// HidD_FreePreparsedData; here a handle, so that a stale or foreign pointer
// is recognised instead of read.
struct PreparsedCaps : KernelObject {
  static constexpr ObjectKind kKind = ObjectKind::PreparsedData;
  explicit PreparsedCaps(const HIDP_CAPS& deviceCaps) : KernelObject(kKind), caps(deviceCaps) {}
  const HIDP_CAPS caps;
};

BOOLEAN Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

using DeviceString = std::optional<std::u16string> standin::DeviceSpec::*;

// No string on the device is a failed request to it. Windows' exact code for
// that varies with the driver; ERROR_GEN_FAILURE is what USB devices give.
BOOLEAN CopyString(const char* function, DeviceString which, HANDLE file, PVOID buffer, ULONG length) {
  if (FailsByFault(function)) return FALSE;
  auto lock = LockKernel();
  auto device = ConnectedDeviceOf(file);
  if (!device) return FALSE;
  const auto& text = device->traits.*which;
  if (!text) return Fail(ERROR_GEN_FAILURE);
  const std::size_t bytes = (text->size() + 1) * sizeof(char16_t);
  if (!buffer || length < bytes) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, text->c_str(), bytes);  // char16_t is UTF-16 in the machine's order, as WCHAR is on Windows
  return TRUE;
}

}  // namespace

extern "C" void WINAPI HidD_GetHidGuid(LPGUID HidGuid) { *HidGuid = kHidInterfaceGuid; }

extern "C" BOOLEAN WINAPI HidD_GetAttributes(HANDLE HidDeviceObject, PHIDD_ATTRIBUTES Attributes) {
  if (FailsByFault("HidD_GetAttributes")) return FALSE;
  auto lock = LockKernel();
  auto device = ConnectedDeviceOf(HidDeviceObject);
  if (!device) return FALSE;
  if (!Attributes) return Fail(ERROR_INVALID_PARAMETER);
  *Attributes = {sizeof(HIDD_ATTRIBUTES), device->traits.vendorId, device->traits.productId, device->traits.versionNumber};
  return TRUE;
}

extern "C" BOOLEAN WINAPI HidD_GetProductString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
  return CopyString("HidD_GetProductString", &standin::DeviceSpec::product, HidDeviceObject, Buffer, BufferLength);
}

extern "C" BOOLEAN WINAPI HidD_GetManufacturerString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
  return CopyString("HidD_GetManufacturerString", &standin::DeviceSpec::manufacturer, HidDeviceObject, Buffer,
                    BufferLength);
}

extern "C" BOOLEAN WINAPI HidD_GetSerialNumberString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
  return CopyString("HidD_GetSerialNumberString", &standin::DeviceSpec::serialNumber, HidDeviceObject, Buffer,
                    BufferLength);
}

extern "C" BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData) {
  if (FailsByFault("HidD_GetPreparsedData")) return FALSE;
  auto lock = LockKernel();
  auto device = ConnectedDeviceOf(HidDeviceObject);
  if (!device) return FALSE;
  if (!PreparsedData) return Fail(ERROR_INVALID_PARAMETER);
  *PreparsedData = static_cast<PHIDP_PREPARSED_DATA>(AddHandle(std::make_shared<PreparsedCaps>(device->traits.caps)));
  return TRUE;
}

extern "C" BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData) {
  if (FailsByFault("HidD_FreePreparsedData")) return FALSE;
  auto lock = LockKernel();
  if (!Find<PreparsedCaps>(PreparsedData)) return Fail(ERROR_INVALID_PARAMETER);
  RemoveHandle(PreparsedData);
  return TRUE;
}

extern "C" NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, PHIDP_CAPS Capabilities) {
  if (auto fault = TakeFault("HidP_GetCaps")) return static_cast<NTSTATUS>(*fault);
  auto lock = LockKernel();
  auto data = Find<PreparsedCaps>(PreparsedData);
  if (!data) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  if (!Capabilities) return STATUS_INVALID_PARAMETER;
  *Capabilities = data->caps;
  return HIDP_STATUS_SUCCESS;
}

extern "C" BOOLEAN WINAPI HidD_SetNumInputBuffers(HANDLE HidDeviceObject, ULONG NumberBuffers) {
  if (FailsByFault("HidD_SetNumInputBuffers")) return FALSE;
  auto lock = LockKernel();
  auto device = ConnectedDeviceOf(HidDeviceObject);
  if (!device) return FALSE;
  if (NumberBuffers < 2 || NumberBuffers > 512) return Fail(ERROR_INVALID_PARAMETER);
  // Reports already waiting stay; the new size bounds what comes next.
  device->queueCapacity = NumberBuffers;
  return TRUE;
}

extern "C" BOOLEAN WINAPI HidD_GetNumInputBuffers(HANDLE HidDeviceObject, PULONG NumberBuffers) {
  auto lock = LockKernel();
  auto device = ConnectedDeviceOf(HidDeviceObject);
  if (!device) return FALSE;
  if (!NumberBuffers) return Fail(ERROR_INVALID_PARAMETER);
  *NumberBuffers = static_cast<ULONG>(device->queueCapacity);
  return TRUE;
}

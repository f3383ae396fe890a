#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "device_file.h"
#include "faults.h"
#include "hid_guid.h"
#include "ntstatus.h"
#include "preparsed_data.h"
#include "standin/files.h"
#include "standin/hid.h"
#include "standin/kernel.h"

using namespace standin::detail;

namespace {

BOOLEAN Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

using DeviceString = std::optional<std::u16string> standin::DeviceSpec::*;

// A string the device does not name fails before it reaches the device, with
// ERROR_INVALID_PARAMETER, as the HID class driver fails it; a string
// request the device itself refuses fails otherwise (ERROR_GEN_FAILURE for a
// stalled USB request, injected here as a fault).
BOOLEAN CopyString(const FaultPoint& fault, DeviceString which, HANDLE file, PVOID buffer, ULONG length) {
  if (fault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto device = ConnectedDeviceOf(file);
  if (!device) return FALSE;
  const auto& text = device->traits.*which;
  if (!text) return Fail(ERROR_INVALID_PARAMETER);
  const std::size_t bytes = (text->size() + 1) * sizeof(char16_t);
  if (!buffer || length < bytes) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, text->c_str(), bytes);  // char16_t is UTF-16 in the machine's order, as WCHAR is on Windows
  return TRUE;
}

// The reports the HID class driver reaches over the control pipe.
struct ReportKind {
  const FaultPoint& fault;
  DWORD (SimulatedDevice::*length)() const;
  std::vector<std::uint8_t> standin::DeviceSpec::*ids;
  // What a Get reads and a Set keeps, by report ID; none for output reports.
  std::map<std::uint8_t, Report> SimulatedDevice::*stored;
  standin::Delivery delivery;  // of a Set
  bool gets;  // a Get may pass a longer buffer; a Set passes the exact length
};

const FaultPoint kHidDGetFeatureFault{"HidD_GetFeature"};
const FaultPoint kHidDSetFeatureFault{"HidD_SetFeature"};
const FaultPoint kHidDGetInputReportFault{"HidD_GetInputReport"};
const FaultPoint kHidDSetOutputReportFault{"HidD_SetOutputReport"};

using standin::Delivery;
const ReportKind kGetFeature{kHidDGetFeatureFault, &SimulatedDevice::FeatureLength, &standin::DeviceSpec::featureReportIds,
                             &SimulatedDevice::features, Delivery::Feature, true};
const ReportKind kSetFeature{kHidDSetFeatureFault, &SimulatedDevice::FeatureLength, &standin::DeviceSpec::featureReportIds,
                             &SimulatedDevice::features, Delivery::Feature, false};
const ReportKind kGetInput{kHidDGetInputReportFault, &SimulatedDevice::InputLength, &standin::DeviceSpec::inputReportIds,
                           &SimulatedDevice::latestInputs, Delivery::Control, true};
const ReportKind kSetOutput{kHidDSetOutputReportFault, &SimulatedDevice::OutputLength,
                            &standin::DeviceSpec::outputReportIds, nullptr, Delivery::Control, false};

// With the kernel locked: the device, when it takes this request; otherwise
// null with the last error set.
std::shared_ptr<SimulatedDevice> RequestTarget(const ReportKind& kind, HANDLE file, PVOID buffer, ULONG length) {
  auto device = ConnectedDeviceOf(file);
  if (!device) return nullptr;
  if (!buffer || length == 0) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return nullptr;
  }
  if (kind.delivery != Delivery::Feature && device->traits.systemOwned) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const DWORD reportLength = ((*device).*kind.length)();
  const bool fits = kind.gets ? length >= reportLength : length == reportLength;
  if (reportLength == 0 || !fits ||
      !DeclaresReportId(device->traits.*kind.ids, *static_cast<const std::uint8_t*>(buffer))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return device;
}

// With the kernel locked: what the device does with a request it takes. A
// Get answers the stored report of the ID that byte 0 of the buffer names,
// or that ID and zeros; a Set records the report and stores it. Answers the
// bytes a Get gave.
DWORD Perform(const ReportKind& kind, SimulatedDevice& device, std::uint8_t* bytes, ULONG length) {
  if (kind.gets) {
    const DWORD reportLength = (device.*kind.length)();
    const auto& stored = device.*kind.stored;
    const auto found = stored.find(bytes[0]);
    if (found != stored.end())
      std::memcpy(bytes, found->second.data(), reportLength);
    else
      std::memset(bytes + 1, 0, reportLength - 1);
    return reportLength;
  }
  Report report(bytes, bytes + length);
  if (kind.stored) (device.*kind.stored)[report[0]] = report;
  device.received.push_back({kind.delivery, std::move(report)});
  return 0;
}

BOOLEAN Transfer(const ReportKind& kind, HANDLE file, PVOID buffer, ULONG length) {
  if (kind.fault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto device = RequestTarget(kind, file, buffer, length);
  if (!device) return FALSE;
  Perform(kind, *device, static_cast<std::uint8_t*>(buffer), length);
  return TRUE;
}

const ReportKind* KindOfRequest(DWORD code) {
  switch (code) {
    case IOCTL_HID_GET_FEATURE:
      return &kGetFeature;
    case IOCTL_HID_SET_FEATURE:
      return &kSetFeature;
    case IOCTL_HID_GET_INPUT_REPORT:
      return &kGetInput;
    case IOCTL_HID_SET_OUTPUT_REPORT:
      return &kSetOutput;
    default:
      return nullptr;
  }
}

}  // namespace

extern "C" void WINAPI HidD_GetHidGuid(LPGUID HidGuid) { *HidGuid = kHidInterfaceGuid; }

const FaultPoint kHidDGetAttributesFault{"HidD_GetAttributes"};

extern "C" BOOLEAN WINAPI HidD_GetAttributes(HANDLE HidDeviceObject, PHIDD_ATTRIBUTES Attributes) {
  if (kHidDGetAttributesFault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto device = ConnectedDeviceOf(HidDeviceObject);
  if (!device) return FALSE;
  if (!Attributes) return Fail(ERROR_INVALID_PARAMETER);
  *Attributes = {sizeof(HIDD_ATTRIBUTES), device->traits.vendorId, device->traits.productId, device->traits.versionNumber};
  return TRUE;
}

const FaultPoint kHidDGetProductStringFault{"HidD_GetProductString"};

extern "C" BOOLEAN WINAPI HidD_GetProductString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
  return CopyString(kHidDGetProductStringFault, &standin::DeviceSpec::product, HidDeviceObject, Buffer, BufferLength);
}

const FaultPoint kHidDGetManufacturerStringFault{"HidD_GetManufacturerString"};

extern "C" BOOLEAN WINAPI HidD_GetManufacturerString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
  return CopyString(kHidDGetManufacturerStringFault, &standin::DeviceSpec::manufacturer, HidDeviceObject, Buffer,
                    BufferLength);
}

const FaultPoint kHidDGetSerialNumberStringFault{"HidD_GetSerialNumberString"};

extern "C" BOOLEAN WINAPI HidD_GetSerialNumberString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength) {
  return CopyString(kHidDGetSerialNumberStringFault, &standin::DeviceSpec::serialNumber, HidDeviceObject, Buffer,
                    BufferLength);
}

const FaultPoint kHidDGetPreparsedDataFault{"HidD_GetPreparsedData"};

extern "C" BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData) {
  if (kHidDGetPreparsedDataFault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto device = ConnectedDeviceOf(HidDeviceObject);
  if (!device) return FALSE;
  if (!PreparsedData) return Fail(ERROR_INVALID_PARAMETER);
  auto data = std::make_shared<PreparsedCaps>(device->traits.caps, device->parsed);
  *PreparsedData = static_cast<PHIDP_PREPARSED_DATA>(AddHandle(std::move(data)));
  return TRUE;
}

const FaultPoint kHidDFreePreparsedDataFault{"HidD_FreePreparsedData"};

extern "C" BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData) {
  if (kHidDFreePreparsedDataFault.Fails()) return FALSE;
  auto lock = LockKernel();
  if (!Find<PreparsedCaps>(PreparsedData)) return Fail(ERROR_INVALID_PARAMETER);
  RemoveHandle(PreparsedData);
  return TRUE;
}

const FaultPoint kHidPGetCapsFault{"HidP_GetCaps"};

extern "C" NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, PHIDP_CAPS Capabilities) {
  if (auto fault = kHidPGetCapsFault.Take()) return static_cast<NTSTATUS>(*fault);
  auto lock = LockKernel();
  auto data = Find<PreparsedCaps>(PreparsedData);
  if (!data) return HIDP_STATUS_INVALID_PREPARSED_DATA;
  if (!Capabilities) return STATUS_INVALID_PARAMETER;
  *Capabilities = data->caps;
  return HIDP_STATUS_SUCCESS;
}

const FaultPoint kHidDSetNumInputBuffersFault{"HidD_SetNumInputBuffers"};

extern "C" BOOLEAN WINAPI HidD_SetNumInputBuffers(HANDLE HidDeviceObject, ULONG NumberBuffers) {
  if (kHidDSetNumInputBuffersFault.Fails()) return FALSE;
  auto lock = LockKernel();
  auto file = ConnectedFileOf(HidDeviceObject);
  if (!file) return FALSE;
  if (NumberBuffers < 2 || NumberBuffers > 512) return Fail(ERROR_INVALID_PARAMETER);
  // This handle's queue only. Reports already waiting stay; the new size
  // bounds what comes next.
  file->input->capacity = NumberBuffers;
  return TRUE;
}

extern "C" BOOLEAN WINAPI HidD_GetNumInputBuffers(HANDLE HidDeviceObject, PULONG NumberBuffers) {
  auto lock = LockKernel();
  auto file = ConnectedFileOf(HidDeviceObject);
  if (!file) return FALSE;
  if (!NumberBuffers) return Fail(ERROR_INVALID_PARAMETER);
  *NumberBuffers = static_cast<ULONG>(file->input->capacity);
  return TRUE;
}

extern "C" BOOLEAN WINAPI HidD_GetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength) {
  return Transfer(kGetFeature, HidDeviceObject, ReportBuffer, ReportBufferLength);
}

extern "C" BOOLEAN WINAPI HidD_SetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength) {
  return Transfer(kSetFeature, HidDeviceObject, ReportBuffer, ReportBufferLength);
}

extern "C" BOOLEAN WINAPI HidD_GetInputReport(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength) {
  return Transfer(kGetInput, HidDeviceObject, ReportBuffer, ReportBufferLength);
}

extern "C" BOOLEAN WINAPI HidD_SetOutputReport(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength) {
  return Transfer(kSetOutput, HidDeviceObject, ReportBuffer, ReportBufferLength);
}

const FaultPoint kDeviceIoControlFault{"DeviceIoControl"};

// A Get takes its buffer as the output, a Set as the input, as hid.dll
// passes them.
extern "C" BOOL WINAPI DeviceIoControl(HANDLE hDevice, DWORD dwIoControlCode, LPVOID lpInBuffer, DWORD nInBufferSize,
                                       LPVOID lpOutBuffer, DWORD nOutBufferSize, LPDWORD lpBytesReturned,
                                       LPOVERLAPPED lpOverlapped) {
  if (kDeviceIoControlFault.Fails()) return FALSE;
  const ReportKind* kind = KindOfRequest(dwIoControlCode);
  if (!kind) return Fail(ERROR_INVALID_FUNCTION);
  PVOID buffer = kind->gets ? lpOutBuffer : lpInBuffer;
  const ULONG length = kind->gets ? nOutBufferSize : nInBufferSize;
  auto lock = LockKernel();
  auto file = ConnectedFileOf(hDevice);
  if (!file || !RequestTarget(*kind, hDevice, buffer, length)) return FALSE;
  if (file->overlapped ? !lpOverlapped : !lpBytesReturned) return Fail(ERROR_INVALID_PARAMETER);
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  return TakeRequest(
      lock, *file, [kind, bytes, length](SimulatedDevice& device) { return Perform(*kind, device, bytes, length); },
      lpBytesReturned, lpOverlapped);
}

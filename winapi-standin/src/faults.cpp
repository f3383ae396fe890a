#include "faults.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <stdexcept>

#include "standin/faults.h"
#include "standin/kernel.h"

namespace standin {
namespace {

struct Fault {
  std::uint32_t error;
  unsigned skip;
  unsigned times;
};

std::mutex gMutex;
std::map<std::string, Fault>& Faults() {
  static auto* faults = new std::map<std::string, Fault>;
  return *faults;
}

}  // namespace

const std::vector<std::string>& FallibleFunctions() {
  static const std::vector<std::string> names = {
      "CloseHandle", "CreateEventA", "SetEvent", "ResetEvent", "WaitForSingleObject", "WaitForMultipleObjects",
      "CreateThread", "GetExitCodeThread", "FormatMessageW", "CreateFileA", "CreateFileW", "ReadFile", "WriteFile",
      "GetOverlappedResult", "CancelIo", "CancelIoEx", "SetupDiGetClassDevsA", "SetupDiEnumDeviceInterfaces",
      "SetupDiGetDeviceInterfaceDetailA", "SetupDiGetDeviceInterfaceDetailW", "SetupDiDestroyDeviceInfoList", "HidD_GetAttributes",
      "HidD_GetProductString", "HidD_GetManufacturerString", "HidD_GetSerialNumberString",
      "HidD_GetPreparsedData", "HidD_FreePreparsedData", "HidP_GetCaps", "HidP_GetUsagesEx", "HidD_SetNumInputBuffers",
      "HidD_GetFeature", "HidD_SetFeature", "HidD_GetInputReport", "HidD_SetOutputReport", "DeviceIoControl",
      "MessageBoxW", "CreateWindowExW", "RegisterDeviceNotificationW",
      "WideCharToMultiByte", "MultiByteToWideChar", "fopen", "_wfopen", "GetProcAddress", "GetModuleHandleExA"};
  return names;
}

void FailNext(const std::string& function, std::uint32_t error, unsigned skip, unsigned times) {
  const auto& names = FallibleFunctions();
  if (std::find(names.begin(), names.end(), function) == names.end())
    throw std::invalid_argument("no fault can be injected into " + function);
  if (times == 0) throw std::invalid_argument("a fault must fire at least once");
  std::lock_guard lock(gMutex);
  Faults()[function] = {error, skip, times};
}

void ClearFaults() {
  std::lock_guard lock(gMutex);
  Faults().clear();
}

std::vector<std::string> PendingFaults() {
  std::lock_guard lock(gMutex);
  std::vector<std::string> pending;
  for (const auto& [name, fault] : Faults()) pending.push_back(name);
  return pending;
}

namespace detail {

std::optional<std::uint32_t> TakeFault(const char* function) {
  std::lock_guard lock(gMutex);
  auto found = Faults().find(function);
  if (found == Faults().end()) return std::nullopt;
  Fault& fault = found->second;
  if (fault.skip > 0) {
    --fault.skip;
    return std::nullopt;
  }
  const std::uint32_t error = fault.error;
  if (--fault.times == 0) Faults().erase(found);
  return error;
}

bool FailsByFault(const char* function) {
  auto error = TakeFault(function);
  if (error) SetLastError(*error);
  return error.has_value();
}

}  // namespace detail
}  // namespace standin

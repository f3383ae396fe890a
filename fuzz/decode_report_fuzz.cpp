// Any descriptor the stand-in takes, and any bytes a movie hands over as one
// of its reports: the control table reads every collection, and decoding
// either answers or refuses the report, never reading or writing past it.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "controls/report_decoder.h"
#include "standin/control.h"
#include "winapi_standin.h"

namespace {

void DecodeEveryKind(standin::DeviceId device, const std::vector<uint8_t>& report) {
  HANDLE file = CreateFileA(standin::DevicePath(device).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (HidD_GetPreparsedData(file, &preparsed)) {
    ControlTable table;
    if (!table.Read(preparsed).isError) {
      for (const ControlKind kind : {ControlKind::Input, ControlKind::Output, ControlKind::Feature}) {
        DecodedReport decoded;
        DecodeReport(preparsed, table, kind, report.data(), static_cast<uint32_t>(report.size()), decoded);
      }
    }
    HidD_FreePreparsedData(preparsed);
  }
  CloseHandle(file);
}

}  // namespace

// The first byte says how much of the rest is the descriptor; what follows
// it is the report.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t descriptorLength = data[0] < size - 1 ? data[0] : size - 1;
  standin::DeviceSpec descriptorDevice;
  descriptorDevice.vendorId = 0x16C0;
  descriptorDevice.reportDescriptor.assign(data + 1, data + 1 + descriptorLength);
  if (descriptorDevice.reportDescriptor.empty()) return 0;
  // Exactly as long as the movie gave it: a heap copy, so that a read past
  // its end is caught.
  const std::vector<uint8_t> report(data + 1 + descriptorLength, data + size);
  std::vector<standin::DeviceId> devices;
  try {
    devices = standin::PlugCollections(descriptorDevice);
  } catch (const std::invalid_argument&) {
    return 0;
  }
  for (standin::DeviceId device : devices) DecodeEveryKind(device, report);
  standin::Reset();
  return 0;
}

// OpenByPath as a movie may call it, with any text: only the path of a HID
// collection present opens, whatever the text holds, and nothing else is
// ever handed to CreateFile.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/hid_interfaces.h"
#include "device/usb_class_pc.h"
#include "fuzz_values.h"
#include "standin/control.h"

namespace {

const std::string& PluggedPath() {
  static const std::string path = [] {
    standin::DeviceSpec pad;
    pad.vendorId = 0x046D;
    pad.productId = 0xC52B;
    pad.caps.InputReportByteLength = 9;
    pad.caps.OutputReportByteLength = 9;
    return standin::DevicePath(standin::PlugDevice(pad));
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& plugged = PluggedPath();
  FuzzReader in(data, size);
  // Texts near the real path find the checks' edges sooner than any text.
  std::string path = in.Byte() % 2 ? plugged.substr(0, in.Byte() % (plugged.size() + 1)) : std::string();
  path += in.Text(200);
  UsbClassPC device;
  const bool exclusive = in.Byte() % 2 != 0;
  // What a text that is no HID collection's path may never reach.
  if (!IsHidInterfacePath(path.c_str())) standin::FailNext("CreateFileA", ERROR_GEN_FAILURE);
  const XtraResult opened = device.OpenByPath(path.c_str(), exclusive);
  if (!IsHidInterfacePath(path.c_str()) && standin::PendingFaults().empty()) std::abort();
  standin::ClearFaults();
  if (!opened.isError && !SamePath(plugged, path.c_str())) std::abort();
  device.Close();
  return 0;
}

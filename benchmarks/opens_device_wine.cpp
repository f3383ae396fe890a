#include <cstdio>

#include "opens_device.h"
#include "virtual_hid.h"

namespace {

// A vendor-defined collection: 64-byte input, output and feature reports,
// unnumbered.
const std::vector<BYTE> kDescriptor = {
    0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x09, 0x02, 0x81, 0x02,  // Usage (2), Input (Data, Var, Abs)
    0x09, 0x03, 0x91, 0x02,  // Usage (3), Output (Data, Var, Abs)
    0x09, 0x04, 0xB1, 0x02,  // Usage (4), Feature (Data, Var, Abs)
    0xC0,              // End Collection
};

}  // namespace

std::shared_ptr<const OpensDevice> PlugOpensDevice() {
  vhid::RemoveAllDevices();
  vhid::DeviceSpec pad;
  pad.instance = L"bench";
  pad.vendorId = 0x1209;
  pad.productId = 0x0064;
  pad.product = L"Bench";
  pad.manufacturer = L"HidBridge";
  pad.reportDescriptor = kDescriptor;
  auto plugged = std::make_shared<vhid::PluggedDevice>(pad);
  if (const DWORD error = plugged->Plug()) {
    std::fprintf(stderr, "opens: the virtual device did not plug in (%lu)\n", static_cast<unsigned long>(error));
    return nullptr;
  }
  std::string path(plugged->path().begin(), plugged->path().end());  // device paths are ASCII
  // The deleter below holds the plug, and with it the line to the device.
  const vhid::Control* line = &plugged->control();
  auto* device = new OpensDevice{"virtual 64-byte device, Windows' HID class driver under Wine", pad.vendorId,
                                 pad.productId, "Bench", path,
                                 [line](const std::vector<uint8_t>& report) { return line->PushInput(report) == 0; }};
  return std::shared_ptr<const OpensDevice>(device, [plugged](const OpensDevice* gone) { delete gone; });
}

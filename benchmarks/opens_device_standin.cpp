#include "opens_device.h"
#include "xtra_session.h"

std::shared_ptr<const OpensDevice> PlugOpensDevice() {
  standin::Reset();
  standin::DeviceSpec pad = BenchDevice();
  pad.caps.FeatureReportByteLength = XtraSession::kReportBytes;
  const standin::DeviceId id = standin::PlugDevice(pad);
  auto* device = new OpensDevice{"simulated 64-byte device, native", pad.vendorId, pad.productId, "Bench",
                                 standin::DevicePath(id),
                                 [id](const std::vector<uint8_t>& report) { return standin::SendInputReport(id, report); }};
  return std::shared_ptr<const OpensDevice>(device, [id](const OpensDevice* gone) {
    standin::Unplug(id);
    delete gone;
  });
}

#include "opens_device.h"
#include "xtra_session.h"

std::shared_ptr<const OpensDevice> PlugOpensDevice() {
  standin::Reset();
  standin::DeviceSpec spec = BenchDevice();
  spec.caps.FeatureReportByteLength = XtraSession::kReportBytes;
  const standin::DeviceId id = standin::PlugDevice(spec);
  auto* device = new OpensDevice{"simulated 64-byte device, native", spec.vendorId, spec.productId, "Bench",
                                 standin::DevicePath(id)};
  return std::shared_ptr<const OpensDevice>(device, [id](const OpensDevice* gone) {
    standin::Unplug(id);
    delete gone;
  });
}

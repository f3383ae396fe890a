#include <stdexcept>

#include "standin/control.h"
#include "test_device.h"

struct TestDevice::Platform {
  std::vector<standin::DeviceId> ids;
  std::vector<std::string> paths;
  std::string failure;
  std::size_t taken = 0;  // received reports already handed out
  bool plugged = false;

  void Plug(const standin::DeviceSpec& spec) {
    try {
      ids = standin::PlugCollections(spec);
    } catch (const std::invalid_argument& refusal) {
      failure = refusal.what();
      return;
    }
    for (const standin::DeviceId id : ids) paths.push_back(standin::DevicePath(id));
    plugged = true;
  }
};

TestDevice::TestDevice(std::uint16_t vendorId, std::uint16_t productId, const ReportLayout& layout)
    : platform_(std::make_unique<Platform>()) {
  standin::DeviceSpec spec;
  spec.vendorId = vendorId;
  spec.productId = productId;
  spec.caps.UsagePage = layout.usagePage;
  spec.caps.Usage = layout.usage;
  spec.caps.InputReportByteLength = layout.inputLength;
  spec.caps.OutputReportByteLength = layout.outputLength;
  spec.caps.FeatureReportByteLength = layout.featureLength;
  spec.inputReportIds = layout.inputIds;
  spec.outputReportIds = layout.outputIds;
  spec.featureReportIds = layout.featureIds;
  platform_->Plug(spec);
}

TestDevice::TestDevice(std::uint16_t vendorId, std::uint16_t productId,
                       const std::vector<std::uint8_t>& reportDescriptor)
    : platform_(std::make_unique<Platform>()) {
  standin::DeviceSpec spec;
  spec.vendorId = vendorId;
  spec.productId = productId;
  spec.reportDescriptor = reportDescriptor;
  platform_->Plug(spec);
}

TestDevice::~TestDevice() { Unplug(); }

bool TestDevice::plugged() const { return platform_->plugged; }

const std::string& TestDevice::failure() const { return platform_->failure; }

const std::vector<std::string>& TestDevice::paths() const { return platform_->paths; }

bool TestDevice::Send(const std::vector<std::uint8_t>& report) {
  return standin::SendInputReport(platform_->ids.front(), report);
}

std::vector<std::vector<std::uint8_t>> TestDevice::TakeReceived() {
  std::vector<std::vector<std::uint8_t>> reports;
  const auto received = standin::ReceivedReports(platform_->ids.front());
  for (std::size_t i = platform_->taken; i < received.size(); ++i) reports.push_back(received[i].bytes);
  platform_->taken = received.size();
  return reports;
}

bool TestDevice::Stall(bool stalled) {
  standin::StallOutput(platform_->ids.front(), stalled);
  return true;
}

bool TestDevice::Unplug() {
  if (platform_->plugged)
    for (const standin::DeviceId id : platform_->ids) standin::Unplug(id);
  platform_->plugged = false;
  return true;
}

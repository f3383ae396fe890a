#include "standin/control.h"
#include "test_device.h"

struct TestDevice::Platform {
  standin::DeviceId id = 0;
  std::string path;
  std::size_t taken = 0;  // received reports already handed out
  bool plugged = false;
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
  platform_->id = standin::PlugDevice(spec);
  platform_->path = standin::DevicePath(platform_->id);
  platform_->plugged = true;
}

TestDevice::~TestDevice() { Unplug(); }

bool TestDevice::plugged() const { return platform_->plugged; }

const std::string& TestDevice::path() const { return platform_->path; }

bool TestDevice::Send(const std::vector<std::uint8_t>& report) {
  return standin::SendInputReport(platform_->id, report);
}

std::vector<std::vector<std::uint8_t>> TestDevice::TakeReceived() {
  std::vector<std::vector<std::uint8_t>> reports;
  const auto received = standin::ReceivedReports(platform_->id);
  for (std::size_t i = platform_->taken; i < received.size(); ++i) reports.push_back(received[i].bytes);
  platform_->taken = received.size();
  return reports;
}

bool TestDevice::Stall(bool stalled) {
  standin::StallOutput(platform_->id, stalled);
  return true;
}

bool TestDevice::Unplug() {
  if (platform_->plugged) standin::Unplug(platform_->id);
  platform_->plugged = false;
  return true;
}

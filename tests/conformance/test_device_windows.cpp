#include "test_device.h"
#include "virtual_hid.h"

struct TestDevice::Platform {
  std::unique_ptr<vhid::PluggedDevice> device;
  std::string path;
  std::size_t inputLength = 0;
};

TestDevice::TestDevice(std::uint16_t vendorId, std::uint16_t productId, const ReportLayout& layout)
    : platform_(std::make_unique<Platform>()) {
  vhid::DeviceSpec spec;
  spec.vendorId = vendorId;
  spec.productId = productId;
  spec.reportDescriptor = MakeReportDescriptor(layout);
  platform_->inputLength = layout.inputLength;
  platform_->device = std::make_unique<vhid::PluggedDevice>(spec);
  if (platform_->device->Plug() != ERROR_SUCCESS) return;
  // Interface paths are ASCII.
  for (const wchar_t unit : platform_->device->path()) platform_->path += static_cast<char>(unit);
}

TestDevice::~TestDevice() = default;

bool TestDevice::plugged() const { return platform_->device->plugged(); }

const std::string& TestDevice::path() const { return platform_->path; }

bool TestDevice::Send(const std::vector<std::uint8_t>& report) {
  if (report.size() > platform_->inputLength) return false;
  std::vector<std::uint8_t> whole = report;
  whole.resize(platform_->inputLength);
  return platform_->device->control().PushInput(whole) == ERROR_SUCCESS;
}

std::vector<std::vector<std::uint8_t>> TestDevice::TakeReceived() {
  std::vector<vhid::ReceivedReport> received;
  platform_->device->control().PopReceived(&received);
  std::vector<std::vector<std::uint8_t>> reports;
  for (const vhid::ReceivedReport& report : received) reports.push_back(report.bytes);
  return reports;
}

bool TestDevice::Stall(bool stalled) {
  const vhid::Control& control = platform_->device->control();
  return (stalled ? control.Stall() : control.Unstall()) == ERROR_SUCCESS;
}

bool TestDevice::Unplug() { return platform_->device->Unplug() == ERROR_SUCCESS; }

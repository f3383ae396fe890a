#include "test_device.h"
#include "virtual_hid.h"

struct TestDevice::Platform {
  std::unique_ptr<vhid::PluggedDevice> device;
  std::vector<std::string> paths;
  std::string failure;
  std::size_t inputLength = 0;

  void Plug(vhid::DeviceSpec spec) {
    device = std::make_unique<vhid::PluggedDevice>(std::move(spec));
    const DWORD error = device->Plug();
    if (error != ERROR_SUCCESS) {
      failure = "plugging failed with error " + std::to_string(error);
      return;
    }
    // Wine 8's HID class driver makes a device only of the first top-level
    // collection. Interface paths are ASCII.
    paths.emplace_back();
    for (const wchar_t unit : device->path()) paths.back() += static_cast<char>(unit);
  }
};

TestDevice::TestDevice(std::uint16_t vendorId, std::uint16_t productId, const ReportLayout& layout)
    : platform_(std::make_unique<Platform>()) {
  vhid::DeviceSpec spec;
  spec.vendorId = vendorId;
  spec.productId = productId;
  spec.reportDescriptor = MakeReportDescriptor(layout);
  platform_->inputLength = layout.inputLength;
  platform_->Plug(std::move(spec));
}

TestDevice::TestDevice(std::uint16_t vendorId, std::uint16_t productId,
                       const std::vector<std::uint8_t>& reportDescriptor)
    : platform_(std::make_unique<Platform>()) {
  vhid::DeviceSpec spec;
  spec.vendorId = vendorId;
  spec.productId = productId;
  spec.reportDescriptor.assign(reportDescriptor.begin(), reportDescriptor.end());
  platform_->Plug(std::move(spec));
}

TestDevice::~TestDevice() = default;

bool TestDevice::plugged() const { return platform_->device->plugged(); }

const std::string& TestDevice::failure() const { return platform_->failure; }

const std::vector<std::string>& TestDevice::paths() const { return platform_->paths; }

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

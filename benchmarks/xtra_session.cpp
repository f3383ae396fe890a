#include "xtra_session.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "named_descriptors.h"

using namespace director;

const char kBenchDeviceIds[] = "4617, 100";

standin::DeviceSpec BenchDevice(std::size_t inputQueueCapacity) {
  standin::DeviceSpec device;
  device.vendorId = 0x1209;
  device.productId = 0x0064;
  device.product = u"Bench";
  device.caps.InputReportByteLength = XtraSession::kReportBytes;
  device.caps.OutputReportByteLength = XtraSession::kReportBytes + 1;
  device.inputQueueCapacity = inputQueueCapacity;
  return device;
}

XtraSession::XtraSession(std::size_t inputQueueCapacity) : inputQueueCapacity_(inputQueueCapacity) {
  standin::Reset();
  if (!host_.Load()) throw std::runtime_error("the Xtra did not load: " + host_.error());
  script_ = std::make_unique<ScriptInstance>(host_);
  if (!script_->alive()) throw std::runtime_error("new failed: " + script_->error());
  PlugAndOpen();
}

XtraSession::~XtraSession() {
  script_->Forget();
  script_.reset();
  // Close does not wait for the reader, which ends on its own.
  host_.module().AwaitUnloadable(std::chrono::seconds(5));
  standin::AwaitThreadsEnded(std::chrono::seconds(5));
  for (const std::string& leak : host_.Leaks()) std::fprintf(stderr, "left behind: %s\n", leak.c_str());
  if (standin::OpenHandleCount() != 0 || standin::LiveThreadCount() != 0)
    std::fprintf(stderr, "left behind: %s, %zu thread(s)\n", standin::DescribeOpenHandles().c_str(),
                 standin::LiveThreadCount());
  standin::Reset();
}

void XtraSession::PlugAndOpen() {
  device_ = standin::PlugDevice(BenchDevice(inputQueueCapacity_));
  const std::string answer = script_->Call(kSelectorOpenById, kBenchDeviceIds);
  if (answer != "\"Ok\"") throw std::runtime_error("OpenById answered " + answer);
}

void XtraSession::PlugClosed(std::size_t inputQueueCapacity) {
  script_->Call(kSelectorClose);
  standin::Reset();
  device_ = standin::PlugDevice(BenchDevice(inputQueueCapacity));
}

void XtraSession::Replug() {
  script_->Call(kSelectorClose);
  standin::Reset();
  PlugAndOpen();
}

void XtraSession::Call(MoaLong selector, const std::vector<MoaMmValue>& arguments) {
  MoaMmValue result = kVoidMoaMmValue;
  script_->CallWithValues(selector, arguments, &result);
  host_.values().Release(result);
}

long XtraSession::CallForCount(MoaLong selector) {
  MoaMmValue result = kVoidMoaMmValue;
  script_->CallWithValues(selector, {}, &result);
  const LingoValue* value = host_.values().Find(result);
  const long count = value ? static_cast<long>(value->items.size()) : 0;
  host_.values().Release(result);
  return count;
}

// In batches the driver's ring of 512 reports holds whatever the reader's pace.
void XtraSession::Feed(int count) {
  constexpr int kBatch = 256;
  const std::vector<std::uint8_t> report(kReportBytes, 0x5A);
  for (int sent = 0; sent < count;) {
    const int batch = count - sent < kBatch ? count - sent : kBatch;
    for (int i = 0; i < batch; ++i) standin::SendInputReport(device_, report);
    sent += batch;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (script_->Call(kSelectorNumberOfPacketsInReadBuffer) != std::to_string(sent)) {
      if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("the reader stopped storing");
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }
}

standin::DeviceId OpenGamepad(XtraSession& session) {
  LingoValueStore& values = session.host().values();
  const MoaMmValue name = values.Symbol("gamepad");
  standin::DeviceSpec pad;
  pad.vendorId = 0x1209;
  pad.productId = 0x0065;
  std::string error;
  const bool described = DescriptorOf(*values.Find(name), values, pad.reportDescriptor, error);
  values.Release(name);
  if (!described) throw std::runtime_error(error);
  const standin::DeviceId device = standin::PlugDevice(pad);
  const std::string answer = session.script().Call(kSelectorOpenByPath, "\"" + standin::DevicePath(device) + "\"");
  if (answer != "\"Ok\"") throw std::runtime_error("OpenByPath answered " + answer);
  return device;
}

#include "simulated_devices.h"

#include <chrono>

#include "host_windows.h"

void SimulatedDevices::SetUp() {
  standin::Reset();
  LoadedXtra::SetUp();
}

void SimulatedDevices::TearDown() {
  if (instance_) {
    instance_->Forget();
    instance_.reset();
  }
  LoadedXtra::TearDown();
  EXPECT_TRUE(standin::AwaitThreadsEnded(std::chrono::seconds(5))) << "no thread outlives the last instance";
  EXPECT_EQ(standin::OpenHandleCount(), 0u) << standin::DescribeOpenHandles();
  standin::Reset();
}

standin::DeviceSpec SimulatedDevices::Pad() {
  standin::DeviceSpec pad;
  pad.vendorId = kPadVendorId;
  pad.productId = kPadProductId;
  pad.product = u"Pad";
  pad.manufacturer = u"Logi";
  pad.serialNumber = u"123";
  pad.caps.UsagePage = 1;
  pad.caps.Usage = 5;
  pad.caps.InputReportByteLength = kPadReportLength;
  pad.caps.OutputReportByteLength = kPadReportLength;
  pad.caps.NumberLinkCollectionNodes = 1;
  pad.caps.NumberInputButtonCaps = 1;
  pad.caps.NumberInputValueCaps = 4;
  pad.caps.NumberInputDataIndices = 16;
  return pad;
}

ScriptInstance& SimulatedDevices::New() {
  instance_ = std::make_unique<ScriptInstance>(host);
  return *instance_;
}

ScriptInstance& SimulatedDevices::OpenPad(standin::DeviceId& pad) {
  pad = Plug();
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  return me;
}

bool SimulatedDevices::ReadersEnded() {
  return Eventually([] { return standin::LiveThreadCount() == standin::RestingThreadCount(); });
}

bool SimulatedDevices::WaitForPackets(ScriptInstance& instance, int count) {
  return Eventually([&] { return instance.Call(kNumberOfPacketsInReadBuffer) == std::to_string(count); });
}

void SimulatedDevices::Idle() {
  host.DispatchWindowMessages();
  host.notification().NotifyAll();
}

std::string SimulatedDevices::TakeHandlerCalls() {
  std::string text;
  const auto& calls = host.player().calls();
  for (; handlerCallsSeen_ < calls.size(); ++handlerCallsSeen_)
    text += calls[handlerCallsSeen_].name + "(" + calls[handlerCallsSeen_].arguments + ")\n";
  return text;
}

std::unique_ptr<ScriptInstance> SimulatedDevices::ReachAgain() {
  EXPECT_EQ(host.notification().registrations().size(), 1u);
  IMoaNotificationClient* client = host.notification().registrations().at(0).client;
  void* instance = nullptr;
  void* script = nullptr;
  xtra::QueryInterface(client, &IID_IMoaUnknown, &instance);
  xtra::QueryInterface(client, &IID_IMoaMmXScript, &script);
  return std::make_unique<ScriptInstance>(host.values(), host.watch(), static_cast<IMoaUnknown*>(instance),
                                          static_cast<IMoaMmXScript*>(script), "HidBridge");
}

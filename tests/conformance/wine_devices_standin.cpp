#include "standin/control.h"
#include "wine_devices.h"

namespace {

// What Wine 8 reports for its HID mouse and keyboard.
standin::DeviceSpec WineDevice(std::uint16_t productId, const char16_t* product) {
  standin::DeviceSpec traits;
  traits.vendorId = 0x845E;
  traits.productId = productId;
  traits.product = product;
  traits.manufacturer = u"The Wine Project";
  traits.serialNumber = u"0000";
  traits.instanceId = "0&0000&0&0";
  traits.caps.UsagePage = 0x01;
  traits.caps.NumberLinkCollectionNodes = 1;
  traits.caps.NumberInputButtonCaps = 1;
  return traits;
}

}  // namespace

// The stand-in does as Windows documents.
bool UnderWine() { return false; }

void WindowsApi::SetUp() {
  standin::Reset();
  standin::DeviceSpec mouse = WineDevice(0x0001, u"Wine HID mouse");
  mouse.caps.Usage = 0x02;
  mouse.caps.InputReportByteLength = 2;
  mouse.caps.NumberInputDataIndices = 3;
  standin::PlugDevice(mouse);
  standin::DeviceSpec keyboard = WineDevice(0x0002, u"Wine HID keyboard");
  keyboard.caps.Usage = 0x06;
  keyboard.caps.InputReportByteLength = 14;
  keyboard.caps.NumberInputDataIndices = 102;
  standin::PlugDevice(keyboard);
}

void WindowsApi::TearDown() {
  EXPECT_EQ(standin::OpenHandleCount(), 0u) << standin::DescribeOpenHandles();
  standin::Reset();
}

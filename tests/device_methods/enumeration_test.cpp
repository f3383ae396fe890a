// FindUsbDevices and the two opens' search over the simulated bus.
#include "simulated_devices.h"

namespace {

using Enumeration = SimulatedDevices;

TEST_F(Enumeration, NoDevicePresentListsNothing) {
  EXPECT_EQ(New().Call(kFindUsbDevices), "[]");
}

TEST_F(Enumeration, ListsEveryInterfaceWithItsIdsAndStrings) {
  Plug();
  standin::DeviceSpec bare;
  bare.vendorId = 0x1234;
  bare.productId = 0x0001;
  Plug(bare);
  EXPECT_EQ(New().Call(kFindUsbDevices),
            "[[#VendorID: 1133, #ProductID: 50475, #Manufacturer: \"Logi\", #Product: \"Pad\", "
            "#SerialNumberString: \"123\"], "
            "[#VendorID: 4660, #ProductID: 1, #Manufacturer: \"\", #Product: \"\", #SerialNumberString: \"\"]]");
}

TEST_F(Enumeration, DeviceStringsReachDirectorInItsOwnEncoding) {
  standin::DeviceSpec pad = Pad();
  pad.product = u"Pad \u00e9 \u20ac \u2603";
  pad.manufacturer = std::u16string(255, u'm');
  Plug(pad);
  const std::string list = New().Call(kFindUsbDevices);
  EXPECT_NE(list.find("#Product: \"Pad \u00e9 \u20ac \u2603\""), std::string::npos) << "UTF-8 for Director 11.5: " << list;
  EXPECT_NE(list.find("#Manufacturer: \"" + std::string(255, 'm') + "\""), std::string::npos) << "a full buffer";
}

TEST_F(Enumeration, AnOlderDirectorGetsTheWindowsCodePage) {
  host.PlayDirector("10.1");
  standin::DeviceSpec pad = Pad();
  pad.product = u"Pad \u00e9 \u20ac";
  pad.manufacturer = u"Snow \u2603";
  Plug(pad);
  ScriptInstance& me = New();
  const std::string list = me.Call(kFindUsbDevices);
  EXPECT_NE(list.find("#Manufacturer: \"Snow ?\", #Product: \"Pad \u00e9 \u20ac\""), std::string::npos)
      << "Windows-1252, shown as Director 10 shows it: " << list;
  EXPECT_EQ(me.Call(kOpenByProductName, "\"Pad \u00e9 \u20ac\""), "\"Ok\"") << "the name is compared in UTF-16";
  me.Call(kClose);
  host.PlayDirector("11.5");
}

TEST_F(Enumeration, ListsMoreThanFortyTwoInterfaces) {
  for (uint16_t i = 0; i < 50; ++i) {
    standin::DeviceSpec device = Pad();
    device.productId = i;
    Plug(device);
  }
  const std::string list = New().Call(kFindUsbDevices);
  EXPECT_NE(list.find("#ProductID: 49,"), std::string::npos);
}

TEST_F(Enumeration, SystemOwnedDevicesAreListedButCannotBeOpened) {
  standin::DeviceSpec mouse = Pad();
  mouse.systemOwned = true;
  Plug(mouse);
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  EXPECT_NE(me.Call(kFindUsbDevices), "[]");
  EXPECT_EQ(me.Call(kOpenById, kPadIds),
            "\"Error :Open failed - did not find device that matched the vendor/product ids\"");
}

TEST_F(Enumeration, IdsOutsideSixteenBitsNeverMatch) {
  Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  const std::string notFound = "\"Error :Open failed - did not find device that matched the vendor/product ids\"";
  EXPECT_EQ(me.Call(kOpenById, "66669, 50475"), notFound);  // 0x1046D
  EXPECT_EQ(me.Call(kOpenById, "1133, -15061"), notFound);  // 0xC52B as a negative 16-bit value
  EXPECT_EQ(me.Call(kIsOpen), "0");
}

TEST_F(Enumeration, ProductNamesMatchExactly) {
  Plug();
  standin::DeviceSpec unnamed = Pad();
  unnamed.productId = 2;
  unnamed.product = u"";
  Plug(unnamed);
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  const std::string notFound = "\"Error :Open failed - did not find device that matched the product name\"";
  EXPECT_EQ(me.Call(kOpenByProductName, "\"pad\""), notFound);
  EXPECT_EQ(me.Call(kOpenByProductName, "\"Pad \""), notFound);
  EXPECT_EQ(me.Call(kOpenByProductName, "\"Pa\""), notFound);
  EXPECT_EQ(me.Call(kOpenByProductName, "\"Pad\""), "\"Ok\"");
  EXPECT_EQ(me.Call(kIsOpen), "1");
}

TEST_F(Enumeration, OfTwoInterfacesWithTheSameIdsTheFirstIsOpened) {
  standin::DeviceSpec first = Pad();
  first.collection = "col01";
  first.caps.Usage = 1;
  standin::DeviceSpec second = Pad();
  second.collection = "col02";
  second.caps.Usage = 2;
  Plug(first);
  Plug(second);
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_EQ(me.Call(kGetCapabilities).rfind("[[#Usage: 1,", 0), 0u);
}

TEST_F(Enumeration, NoDeviceInformationSetIsAnInvalidHandle) {
  Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  standin::FailNext("SetupDiGetClassDevsA", 8);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Error :Invalid Handle\"");
  Idle();
  TakeHandlerCalls();
  // The lists stay lists, which movies count and walk; the movie still
  // hears that they are not the whole truth.
  for (const Selector search : {kFindUsbDevices, kFindHidDevices}) {
    standin::FailNext("SetupDiGetClassDevsA", 8);
    EXPECT_EQ(me.Call(search), "[]");
    Idle();
    EXPECT_NE(TakeHandlerCalls().find("#Help: \"Invalid Handle\""), std::string::npos) << search;
    EXPECT_NE(me.Call(kGetStatus).find("#LastError: \"Invalid Handle\""), std::string::npos) << search;
  }
}

TEST_F(Enumeration, DevicesThatCannotBeOpenedOrQueriedAreSkipped) {
  Plug();
  standin::DeviceSpec second = Pad();
  second.productId = 7;
  Plug(second);
  ScriptInstance& me = New();
  standin::FailNext("HidD_GetAttributes", 31);
  EXPECT_EQ(me.Call(kFindUsbDevices).find("#ProductID: 50475"), std::string::npos);
  standin::FailNext("CreateFileA", 5, 0, 2);  // read-write, then without access
  EXPECT_EQ(me.Call(kFindUsbDevices).find("#ProductID: 50475"), std::string::npos);
  EXPECT_NE(me.Call(kFindUsbDevices).find("#ProductID: 50475"), std::string::npos);
}

}  // namespace

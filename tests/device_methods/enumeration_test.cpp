// FindUsbDevices and the two opens' search over the simulated bus.
#include <cctype>

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

// A name exactly as long as the buffer it is read into (254 characters and
// the terminator) is compared whole; one character more is no longer that
// name.
TEST_F(Enumeration, AProductNameThatFillsItsBufferStillMatches) {
  standin::DeviceSpec longName = Pad();
  longName.product = std::u16string(254, u'n');
  Plug(longName);
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  EXPECT_EQ(me.Call(kOpenByProductName, "\"" + std::string(253, 'n') + "\""),
            "\"Error :Open failed - did not find device that matched the product name\"");
  EXPECT_EQ(me.Call(kOpenByProductName, "\"" + std::string(254, 'n') + "\""), "\"Ok\"");
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
  standin::FailNext("CreateFileW", 5, 0, 2);  // read-write, then without access
  EXPECT_EQ(me.Call(kFindUsbDevices).find("#ProductID: 50475"), std::string::npos);
  EXPECT_NE(me.Call(kFindUsbDevices).find("#ProductID: 50475"), std::string::npos);
}

// A walk that ends early, or an interface that will not tell its path, is
// news: the lists stay lists, and the movie hears that they are short.
TEST_F(Enumeration, ASearchThatFailsPartWayTellsTheMovie) {
  Plug();
  standin::DeviceSpec second = Pad();
  second.productId = 7;
  Plug(second);
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  struct Fault {
    const char* function;
    unsigned skip;
    const char* told;
    const char* listed;
    const char* missed;
  };
  for (const Fault& fault : {Fault{"SetupDiEnumDeviceInterfaces", 1, "Could not list every HID collection",
                                   "#ProductID: 50475", "#ProductID: 7"},
                             Fault{"SetupDiGetDeviceInterfaceDetailW", 0, "Could not read the path of a HID collection",
                                   "#ProductID: 7", "#ProductID: 50475"}}) {
    for (const Selector search : {kFindUsbDevices, kFindHidDevices}) {
      standin::FailNext(fault.function, ERROR_NOT_ENOUGH_MEMORY, fault.skip);
      const std::string list = me.Call(search);
      EXPECT_NE(list.find(fault.listed), std::string::npos) << fault.function << " " << search;
      EXPECT_EQ(list.find(fault.missed), std::string::npos) << fault.function << " " << search;
      Idle();
      EXPECT_NE(TakeHandlerCalls().find(std::string("#Help: \"") + fault.told), std::string::npos) << search;
      EXPECT_NE(me.Call(kGetStatus).find(std::string("#LastError: \"") + fault.told), std::string::npos);
    }
  }
  // An open whose walk ended before it found the device says why.
  standin::FailNext("SetupDiEnumDeviceInterfaces", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(me.Call(kOpenById, kPadIds).rfind("\"Error :Could not list every HID collection: ", 0), 0u);
}

// Names of files, folders, drives, pipes or servers, and anything beyond a
// collection's own path, open nothing and are told apart by nothing.
TEST_F(Enumeration, OpenByPathTakesOnlyThePathOfAHidCollectionPresentNow) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  const std::string present = standin::DevicePath(pad);
  const char kRefused[] = "\"Error :Open failed - no HID collection present has this path\"";
  for (const std::string& path :
       {std::string("C:\\windows\\win.ini"), std::string("C:\\no such file"), std::string("\\\\server\\share\\x"),
        std::string("\\\\.\\PhysicalDrive0"), std::string("\\\\?\\C:\\windows\\win.ini"), present + "\\x",
        present + "\\..\\..\\C:\\win.ini", std::string("\\\\?\\hid#vid_046d&pid_c52b#{4d1e55b2-f16f-11cf-88cb-001111000030}"),
        std::string("\\\\?\\hid#vid_046d&pid_c52b#1#{4d1e55b2-f16f-11cf-88cb-00111100003}"), std::string(""),
        std::string("\\\\?\\usb#vid_046d&pid_c52b#1#{4d1e55b2-f16f-11cf-88cb-001111000030}")}) {
    standin::FailNext("CreateFileW", ERROR_GEN_FAILURE);
    EXPECT_EQ(me.Call(kOpenByPath, "\"" + path + "\""), kRefused) << path;
    EXPECT_EQ(standin::PendingFaults().size(), 1u) << "nothing was opened for " << path;
    standin::ClearFaults();
    EXPECT_EQ(me.Call(kIsOpen), "0");
  }
  std::string upper = present;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(me.Call(kOpenByPath, "\"" + upper + "\""), "\"Ok\"") << "Windows ignores the letter case";
  standin::Unplug(pad);
  EXPECT_EQ(me.Call(kOpenByPath, "\"" + present + "\""), kRefused) << "once it is gone";
}

// Once a failed HidD_GetAttributes left an open device without its ids and
// strings, answered "Ok".
TEST_F(Enumeration, AnOpenByPathWhoseDeviceWillNotTellItsIdsFails) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  standin::FailNext("HidD_GetAttributes", ERROR_GEN_FAILURE);
  EXPECT_EQ(me.Call(kOpenByPath, "\"" + standin::DevicePath(pad) + "\""),
            "\"Error :Open failed - the collection does not tell its ids: A device attached to the system is not "
            "functioning. (31)\"");
  EXPECT_EQ(me.Call(kIsOpen), "0");
  EXPECT_EQ(me.Call(kGetDeviceInfo), "[:]");
}

// What a present collection told is asked of it once; which are present is
// asked every time.
TEST_F(Enumeration, AListingAsksOnlyNewCollectionsAndNeverAnswersOneThatIsGone) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  const std::string first = me.Call(kFindHidDevices);
  standin::FailNext("HidD_GetProductString", ERROR_GEN_FAILURE);
  standin::FailNext("HidD_GetPreparsedData", ERROR_GEN_FAILURE);
  EXPECT_EQ(me.Call(kFindHidDevices), first);
  EXPECT_EQ(standin::PendingFaults().size(), 2u) << "the device was not asked again";
  standin::ClearFaults();
  standin::Unplug(pad);
  EXPECT_EQ(me.Call(kFindHidDevices), "[]");
  EXPECT_EQ(me.Call(kFindUsbDevices), "[]");
}

// Devices often refuse string requests just after they arrive, which is
// when a MonitorHidDevices handler lists them: a string refused once stayed
// empty in every listing, and in an open's description, for as long as the
// device stayed plugged in.
TEST_F(Enumeration, AStringThatCouldNotBeReadIsAskedAgainNextTime) {
  Plug();
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  standin::FailNext("HidD_GetSerialNumberString", ERROR_GEN_FAILURE);
  EXPECT_NE(me.Call(kFindHidDevices).find("#SerialNumberString: \"\""), std::string::npos) << "not told this time";
  EXPECT_NE(me.Call(kFindHidDevices).find("#SerialNumberString: \"123\""), std::string::npos);
  EXPECT_NE(me.Call(kFindUsbDevices).find("#SerialNumberString: \"123\""), std::string::npos);

  standin::DeviceSpec stick = Pad();
  stick.productId = 7;
  stick.product = u"Stick";
  Plug(stick);
  standin::FailNext("HidD_GetProductString", ERROR_GEN_FAILURE);
  EXPECT_NE(me.Call(kFindUsbDevices).find("#ProductID: 7, #Manufacturer: \"Logi\", #Product: \"\""),
            std::string::npos);
  EXPECT_EQ(me.Call(kOpenByProductName, "\"Stick\""), "\"Ok\"");
  EXPECT_NE(me.Call(kGetDeviceInfo).find("#Product: \"Stick\""), std::string::npos);
  EXPECT_NE(me.Call(kFindHidDevices).find("#ProductID: 7, #ReleaseNumber: 0, #Manufacturer: \"Logi\", "
                                          "#Product: \"Stick\""),
            std::string::npos);

  // A product that could not be read is no empty name.
  me.Call(kClose);
  standin::FailNext("HidD_GetProductString", ERROR_GEN_FAILURE, 0, 2);
  EXPECT_EQ(me.Call(kOpenByProductName, "\"\""),
            "\"Error :Open failed - did not find device that matched the product name\"");
}

// A string the device does not have is no failure: it is asked once.
TEST_F(Enumeration, AStringTheDeviceDoesNotHaveIsNotAskedAgain) {
  standin::DeviceSpec bare = Pad();
  bare.serialNumber.reset();
  Plug(bare);
  ScriptInstance& me = New();
  const std::string first = me.Call(kFindHidDevices);
  EXPECT_NE(first.find("#SerialNumberString: \"\""), std::string::npos);
  standin::FailNext("HidD_GetSerialNumberString", ERROR_GEN_FAILURE);
  EXPECT_EQ(me.Call(kFindHidDevices), first);
  EXPECT_EQ(standin::PendingFaults().size(), 1u) << "the device was not asked again";
  standin::ClearFaults();
}

// A device updated in place comes back with the same ids and a new release
// at the same path; unheard of, it must not be described by what a listing
// kept of the old one.
TEST_F(Enumeration, ANewReleaseAtTheSamePathIsOpenedWithItsOwnStrings) {
  standin::DeviceSpec pad = Pad();
  pad.instanceId = "7&2";
  pad.versionNumber = 0x0100;
  standin::DeviceId plugged = Plug(pad);
  ScriptInstance& me = New();
  EXPECT_NE(me.Call(kFindHidDevices).find("#ReleaseNumber: 256, #Manufacturer: \"Logi\", #Product: \"Pad\""),
            std::string::npos);
  standin::Unplug(plugged);
  pad.versionNumber = 0x0200;
  pad.product = u"Pad II";
  plugged = Plug(pad);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_NE(me.Call(kGetDeviceInfo).find("#ReleaseNumber: 512, #Manufacturer: \"Logi\", #Product: \"Pad II\""),
            std::string::npos);
  EXPECT_NE(me.Call(kFindHidDevices).find("#Product: \"Pad II\""), std::string::npos) << "and so do listings";
}

// Director before 11 speaks the Windows code page, which cannot hold every
// character a path may have; converted, such a path names no collection,
// which once vanished from the listings untold.
TEST_F(Enumeration, ACollectionWhosePathTheHostCannotHoldIsToldOfNotLeftOutSilently) {
  host.PlayDirector("10.1");
  standin::DeviceSpec snowman = Pad();
  snowman.productId = 7;
  snowman.instanceId = "8&\u2603";
  Plug(snowman);
  standin::DeviceSpec accented = Pad();
  accented.instanceId = "8&\u00e9";
  Plug(accented);
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  const std::string told =
      "Could not list a HID collection: its path has characters that this Director's text encoding lacks";
  for (const Selector search : {kFindUsbDevices, kFindHidDevices}) {
    const std::string list = me.Call(search);
    EXPECT_NE(list.find("#ProductID: 50475"), std::string::npos) << "Windows-1252 holds \u00e9: " << search;
    EXPECT_EQ(list.find("#ProductID: 7,"), std::string::npos) << search;
    Idle();
    EXPECT_NE(TakeHandlerCalls().find("#Help: \"" + told), std::string::npos) << search;
    EXPECT_NE(me.Call(kGetStatus).find("#LastError: \"" + told), std::string::npos) << search;
  }
  EXPECT_EQ(me.Call(kOpenById, "1133, 7"), "\"Error :" + told + "\"") << "an open that found nothing says why";
  host.PlayDirector("11.5");
}

// A device pulled out and another put in its place between two listings:
// the removal heard makes the listing ask again.
TEST_F(Enumeration, ARemovalHeardMakesTheNextListingAskAgain) {
  standin::DeviceSpec pad = Pad();
  pad.instanceId = "7&1";
  standin::DeviceId plugged = Plug(pad);
  ScriptInstance& me = New();
  me.Call(kMonitorHidDevices, "\"OnHid\"");
  EXPECT_NE(me.Call(kFindUsbDevices).find("#Product: \"Pad\""), std::string::npos);
  standin::Unplug(plugged);
  pad.product = u"Other";
  plugged = Plug(pad);
  Idle();
  EXPECT_NE(me.Call(kFindUsbDevices).find("#Product: \"Other\""), std::string::npos);
}

}  // namespace

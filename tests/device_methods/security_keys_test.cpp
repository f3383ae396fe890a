// Security keys (U2F and FIDO2, usage page 0xF1D0) answer only to a
// browser's origin checks: listed as #Protected and never opened, however a
// movie reaches them.
#include <string>
#include <vector>

#include "simulated_devices.h"

namespace {

using Bytes = std::vector<uint8_t>;

const char kRefused[] = "\"Error :Open failed - security keys (FIDO) are not for movies\"";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class SecurityKeys : public SimulatedDevices {
 protected:
  static standin::DeviceSpec Key() {
    standin::DeviceSpec key = Pad();
    key.caps.UsagePage = 0xF1D0;
    key.caps.Usage = 1;
    return key;
  }

  // One top-level vendor collection (usage page 0xFF00), report 1 of 7
  // bytes each way, with `inside` before its end.
  static standin::DeviceSpec VendorCollectionHolding(const Bytes& inside) {
    Bytes descriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x15, 0x00, 0x26, 0xFF,
                        0x00, 0x75, 0x08, 0x95, 0x07, 0x09, 0x02, 0x81, 0x02, 0x09, 0x03, 0x91, 0x02};
    descriptor.insert(descriptor.end(), inside.begin(), inside.end());
    descriptor.push_back(0xC0);
    standin::DeviceSpec device = Pad();
    device.reportDescriptor = descriptor;
    return device;
  }
};

// A FIDO collection (0xF1D0, usage 1) whose report 2 holds vendor usages
// only: just the link collection tells.
const Bytes kFidoCollection = {0x06, 0xD0, 0xF1, 0x09, 0x01, 0xA1, 0x02, 0x06, 0x00, 0xFF, 0x85, 0x02,
                               0x09, 0x20, 0x81, 0x02, 0x09, 0x21, 0x91, 0x02, 0xC0};
// A FIDO usage as output report 2's value, in no collection of its own.
const Bytes kFidoOutputValue = {0x85, 0x02, 0x06, 0xD0, 0xF1, 0x09, 0x21, 0x91, 0x02};
// A FIDO usage as feature report 3's one button, beside its padding.
const Bytes kFidoFeatureButton = {0x85, 0x03, 0x06, 0xD0, 0xF1, 0x09, 0x30, 0x25, 0x01, 0x75,
                                  0x01, 0x95, 0x01, 0xB1, 0x02, 0x75, 0x07, 0xB1, 0x03};

TEST_F(SecurityKeys, AreListedAsProtectedAndNeverOpened) {
  const standin::DeviceId fido = Plug(Key());
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  EXPECT_NE(me.Call(kFindHidDevices).find("#UsagePage: 61904, "), std::string::npos);
  EXPECT_NE(me.Call(kFindHidDevices).find("#Protected: 1]"), std::string::npos);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), kRefused);
  EXPECT_EQ(me.Call(kOpenByProductName, "\"Pad\""), kRefused);
  EXPECT_EQ(me.Call(kOpenByPath, Quoted(standin::DevicePath(fido)) + ", 1"), kRefused);
  EXPECT_EQ(me.Call(kIsOpen), "0");
  // Another collection with the same ids still opens.
  standin::DeviceSpec pad = Pad();
  pad.interfaceNumber = 1;
  Plug(pad);
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_NE(me.Call(kGetDeviceInfo).find("#Protected: 0]"), std::string::npos);
}

// Wine joins a device's top-level collections into the first: a key declared
// after a vendor collection then hides behind that collection's usage page.
// A key anywhere inside is a key: in a link collection, or as a usage of any
// report kind.
TEST_F(SecurityKeys, AKeyInsideAVendorCollectionIsProtectedOnEveryWayIn) {
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  me.Call(kMonitorHidDevices, "\"OnHid\"");
  const struct {
    const char* what;
    const Bytes& inside;
  } hidden[] = {{"a FIDO collection", kFidoCollection},
                {"a FIDO output value", kFidoOutputValue},
                {"a FIDO feature button", kFidoFeatureButton}};
  for (const auto& key : hidden) {
    const standin::DeviceId device = Plug(VendorCollectionHolding(key.inside));
    const std::string path = standin::DevicePath(device);
    Idle();
    const std::string arrival = TakeHandlerCalls();
    EXPECT_NE(arrival.find("#UsagePage: 65280, "), std::string::npos) << key.what << ": " << arrival;
    EXPECT_NE(arrival.find("#Protected: 1]"), std::string::npos) << key.what << ": " << arrival;
    EXPECT_NE(me.Call(kFindHidDevices).find("#Protected: 1]"), std::string::npos) << key.what;
    EXPECT_EQ(me.Call(kOpenById, kPadIds), kRefused) << key.what;
    EXPECT_EQ(me.Call(kOpenByProductName, "\"Pad\""), kRefused) << key.what;
    EXPECT_EQ(me.Call(kOpenByPath, Quoted(path)), kRefused) << key.what;
    EXPECT_EQ(me.Call(kOpenByPath, Quoted(path) + ", 1"), kRefused) << key.what;
    EXPECT_EQ(me.Call(kIsOpen), "0") << key.what;
    standin::Unplug(device);
  }
  // The same vendor collection without a key opens.
  Plug(VendorCollectionHolding({}));
  EXPECT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  EXPECT_NE(me.Call(kGetDeviceInfo).find("#Protected: 0]"), std::string::npos);
}

// A failed open once kept the handle it had made: a key whose capabilities
// could not be read was held (IsOpen 1) and, opened exclusively, kept every
// other program out. Nothing that could not be checked is held or opened.
TEST_F(SecurityKeys, ACollectionThatCannotBeCheckedIsLetGoAndNotOpened) {
  const std::string path = standin::DevicePath(Plug(Key()));
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  const char kNoParsedData[] = "\"Error :Failed to get device parsed data (31)\"";
  standin::FailNext("HidD_GetPreparsedData", ERROR_GEN_FAILURE);
  EXPECT_EQ(me.Call(kOpenByPath, Quoted(path) + ", 1"), kNoParsedData);
  EXPECT_EQ(me.Call(kIsOpen), "0");
  HANDLE other = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(other, INVALID_HANDLE_VALUE) << "another program opens it: error " << GetLastError();
  CloseHandle(other);
  for (const Selector open : {kOpenById, kOpenByProductName}) {
    standin::FailNext("HidD_GetPreparsedData", ERROR_GEN_FAILURE);
    EXPECT_EQ(me.Call(open, open == kOpenById ? kPadIds : "\"Pad\""), kNoParsedData) << open;
    EXPECT_EQ(me.Call(kIsOpen), "0") << open;
  }
  // A key that hid.dll will not list the link collections of is no less one.
  const standin::DeviceId nested = Plug(VendorCollectionHolding(kFidoCollection));
  standin::FailNext("HidP_GetLinkCollectionNodes", 0xC0110001u);
  EXPECT_EQ(me.Call(kOpenByPath, Quoted(standin::DevicePath(nested))),
            "\"Error :Failed to get device capabilities (-1072627711)\"");
  EXPECT_EQ(me.Call(kIsOpen), "0");
}

}  // namespace

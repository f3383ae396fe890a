// What Director's registry receives when it registers the Xtra.
#include <string>
#include <vector>

#include "loaded_xtra.h"

namespace {

const char kExpectedMessageTable[] =
    "xtra HidBridge -- WINTEL version 1.0.11(U)(S) (Release build)\n"
    "-- This xtra can be used in Shockwave\n"
    "-- --------------------------------\n"
    "   new object me, *\n"
    "/  forget object me \n"
    "+  GetVersionString object me -- returns the version string for this xtra\n"
    "-- **********\n"
    "   OpenByProductName object me, string name -- \n"
    "   OpenById object me, long vendorId, long productID\n"
    "   IsOpen object me\n"
    "   Close object me\n"
    "   Read object me -- read ALL the items currently in the input buffer\n"
    "   ReadPacket object me -- read the data in the NEXT packet in the input buffer\n"
    "   ReadReport object me -- Read one HID report block\n"
    "   Write object me , * -- string , number or list\n"
    "   NumberOfItemsInReadBuffer object me  -- the number of items in the input buffer\n"
    "   NumberOfPacketsInReadBuffer object me  -- the number of packets in the input buffer \n"
    "   DoNotBufferPackets object me, long trueOrFalse -- default:false.\n"
    "   GetCapabilities object me -- of the open device\n"
    "   --\n"
    "   FindUsbDevices object me -- return a list of all the installed usb devices\n"
    "   MonitorChanges object me, string lingoFunctionToCall -- Check for insertion/removal of  devices\n"
    "   MonitorDevice object me, long vendorId, long productId, string lingoFunctionToCall \n"
    "-- Standard functions\n"
    "   ShowErrorsAsDialogs object me, integer trueOrFalse -- turn on/off error dialo windows appearing\n"
    "/ + PrivateGlobal *\n"
    "/  PrivateInstance object me, *\n"
    "--\n"
    "   SetWriteTimeout object me, long milliseconds -- how long Write waits for the device, 1 to 60000 ms\n"
    "   WriteReport object me, long reportId, * -- an output report of that ID: numbers, strings or lists\n"
    "   SendOutputReport object me, long reportId, * -- the same over the control pipe\n"
    "   GetFeatureReport object me, long reportId -- the feature report of that ID, as a list\n"
    "   SetFeatureReport object me, long reportId, * -- numbers, strings or lists\n"
    "   GetInputReport object me, long reportId -- the device's input report of that ID, asked for now\n"
    "   FindHidDevices object me, * -- the HID collections present; a property list filters them\n"
    "   OpenByPath object me, string path, * -- a path FindHidDevices gives; then 1 keeps all others out\n"
    "   GetDeviceInfo object me -- the open collection, as FindHidDevices lists it\n"
    "   GetStatus object me -- open, connected, the last error, the buffer\n"
    "   MonitorHidDevices object me, string lingoFunctionToCall -- HID collections arriving and leaving\n"
    "   GetControls object me, * -- the open collection's controls by name; #input, #output or #feature for one kind\n"
    "   DecodeReport object me, object report, * -- a report as its controls read, by name; #feature for a feature report\n"
    "   WriteUsages object me, object values -- an output report of the named controls, such as [#LEDNumLock: 1]\n"
    "   SetFeatureUsages object me, object values -- changes the named controls of a feature report\n"
    "   SetInputHandler object me, string handlerName, * -- hears new input at each idle; #reports, #latest, #decoded or #changes\n";

// Handler names in selector order, read as Director reads the table: the
// first line names the Xtra, "--" lines are comments however indented, and
// the markers "+" and "/" in the first columns are not part of the name.
std::vector<std::string> HandlersInSelectorOrder(const std::string& table) {
  std::vector<std::string> handlers;
  size_t start = table.find('\n') + 1;
  while (start < table.size()) {
    const size_t end = table.find('\n', start);
    const std::string line = table.substr(start, end - start);
    start = end + 1;
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos || line.compare(first, 2, "--") == 0) continue;
    const size_t name = line.find_first_not_of("+/ ");
    handlers.push_back(line.substr(name, line.find(' ', name) - name));
  }
  return handlers;
}

using Registration = LoadedXtra;

TEST_F(Registration, WritesTheMethodTableByteForByteThenTheShockwaveFlag) {
  ASSERT_EQ(host.Register(), kMoaErr_NoErr);
  EXPECT_TRUE(SameMoaID(host.cache().registeredClass(), host.classId()));
  EXPECT_TRUE(SameMoaID(host.cache().registeredInterface(), IID_IMoaMmXScript));

  const std::vector<DictPut>& puts = host.cache().entry().puts();
  ASSERT_EQ(puts.size(), 2u);
  EXPECT_EQ(puts[0].key, "msgTable");
  EXPECT_EQ(puts[0].type, kMoaDictType_CString);
  EXPECT_EQ(puts[0].size, 0);
  EXPECT_EQ(puts[0].data, std::string(kExpectedMessageTable));
  EXPECT_EQ(puts[1].key, "safeForShockwave");
  EXPECT_EQ(puts[1].type, kMoaDictType_Bool);
  EXPECT_EQ(puts[1].size, 1);
  EXPECT_EQ(puts[1].data, std::string("\x01", 1));
}

TEST_F(Registration, HandlerLinesNumberTheSelectorsAsTheDispatcherExpects) {
  ASSERT_EQ(host.Register(), kMoaErr_NoErr);
  const DictPut* table = host.cache().entry().Find("msgTable");
  ASSERT_TRUE(table != nullptr);
  const std::vector<std::string> expected = {
      "new", "forget", "GetVersionString", "OpenByProductName", "OpenById", "IsOpen", "Close",
      "Read", "ReadPacket", "ReadReport", "Write", "NumberOfItemsInReadBuffer", "NumberOfPacketsInReadBuffer",
      "DoNotBufferPackets", "GetCapabilities", "FindUsbDevices", "MonitorChanges", "MonitorDevice",
      "ShowErrorsAsDialogs", "PrivateGlobal", "PrivateInstance", "SetWriteTimeout", "WriteReport",
      "SendOutputReport", "GetFeatureReport", "SetFeatureReport", "GetInputReport", "FindHidDevices", "OpenByPath",
      "GetDeviceInfo", "GetStatus", "MonitorHidDevices", "GetControls", "DecodeReport", "WriteUsages",
      "SetFeatureUsages", "SetInputHandler"};
  EXPECT_TRUE(HandlersInSelectorOrder(table->data) == expected);
}

TEST_F(Registration, AFailedMessageTablePutIsReturnedAndTheFlagIsNotWritten) {
  const MoaError refused = static_cast<MoaError>(0x80040107u);
  host.cache().entry().FailPut("msgTable", refused);
  EXPECT_EQ(host.Register(), refused);
  EXPECT_TRUE(host.cache().entry().puts().empty());
}

TEST_F(Registration, AFailedRegistryEntryEndsRegistrationWithItsStatus) {
  const MoaError refused = static_cast<MoaError>(0x80040001u);
  host.cache().FailAddRegistryEntry(refused);
  EXPECT_EQ(host.Register(), refused);
  EXPECT_TRUE(host.cache().entry().puts().empty());
}

TEST_F(Registration, WithoutMemoryForTheTextNothingIsWritten) {
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  auto* registrar = Get<IMoaRegister>(instance, IID_IMoaRegister);
  ASSERT_TRUE(registrar != nullptr);
  host.allocator().FailAllocationAfter(0);
  EXPECT_EQ(xtra::Register(registrar, host.cache().object(), host.xtraDict().object()), kMoaErr_OutOfMem);
  EXPECT_TRUE(host.cache().entry().puts().empty());
  xtra::Release(registrar);
  instance->Release();
}

}  // namespace

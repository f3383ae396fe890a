#include "host/method_table.h"

#include <cstdio>

#include "hidbridge_version.h"

void FormatVersionLine(char (&line)[kVersionLineSize]) {
  std::snprintf(line, sizeof line, "xtra HidBridge -- WINTEL version %s(U)(S) (Release build)\n",
                HIDBRIDGE_VERSION_TEXT);
}

// Trailing and doubled blanks are part of the registered text.
const char kMethodTableBody[] =
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
static_assert(sizeof kMethodTableBody + kVersionLineSize <= kMessageTableSize);

#include "host/method_table.h"

#include <cstdio>

void FormatVersionLine(char (&line)[kVersionLineSize]) {
  std::snprintf(line, sizeof line, "xtra HidBridge -- WINTEL version %s.%s.%s\n", "1", "0",
                "11(U)(S) (Release build)");
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
    "   SetWriteTimeout object me, long milliseconds -- how long Write waits for the device; 0: no limit\n";
static_assert(sizeof kMethodTableBody + kVersionLineSize <= kMessageTableSize);

// Closing: the reader is let go, and ends on its own, so Close returns as
// soon as the device object's own handles are closed.
#include "device/usb_class_pc.h"

XtraResult UsbClassPC::Close() {
  result.SetOk();
  // First the reader, which takes a report that has already come in.
  reader.reset();
  ForgetPreviousDevice();
  deviceHandle.reset();
  // After the handle, whose closing ends a request still under way.
  ReleaseRequests();
  listening = false;
  openMode = OpenMode::Shared;
  openCollection.reset();
  controlTable.reset();
  preparsed.reset();
  return result;
}

// A request that will not end keeps its bytes: freeing them would let
// Windows write into freed memory.
void UsbClassPC::ReleaseRequests() {
  if (requests && !requests->Settle()) requests.release();
  requests.reset();
}

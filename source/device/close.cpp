// Closing: the reader is let go, and ends on its own, so Close returns as
// soon as the device object's own handles are closed.
#include "device/usb_class_pc.h"

XtraResult UsbClassPC::Close() {
  result.SetOk();
  // First the reader, which takes a report that has already come in.
  reader.reset();
  ForgetReaderFailures();
  deviceHandle.reset();
  // After the handle, whose closing ends a write still under way.
  ReleaseOutput();
  listening = false;
  openMode = OpenMode::Shared;
  openCollection.reset();
  return result;
}

// A write that will not end keeps its report: freeing it would let Windows
// write into freed memory.
void UsbClassPC::ReleaseOutput() {
  if (output && !output->Settle()) output.release();
  output.reset();
}

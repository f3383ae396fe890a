// Closing: the reader is let go, and ends on its own, so Close returns as
// soon as the device object's own handles are closed.
#include "device/usb_class_pc.h"

XtraResult UsbClassPC::Close() {
  result.SetOk();
  if (reader) {
    reader->Stop();
    ReaderThread::Release(reader);
    reader = nullptr;
  }
  ForgetReaderFailures();
  if (deviceHandle) CloseHandle(deviceHandle);
  deviceHandle = nullptr;
  ReleaseOutput();
  listening = false;
  openMode = OpenMode::Shared;
  openCollection.reset();
  return result;
}

// Closing the handle ended a write still under way; one that will not end
// keeps its report: freeing it would let Windows write into freed memory.
void UsbClassPC::ReleaseOutput() {
  if (output && !output->Settle()) output.release();
  output.reset();
}

// Closing: the reader is stopped and has ended before anything it uses is
// released, so Close returns as soon as that is done.
#include "device/late_bound.h"
#include "device/usb_class_pc.h"

namespace {

constexpr DWORD kReaderEndMs = 500;

void CloseAndClear(HANDLE& handle) {
  if (handle) CloseHandle(handle);
  handle = nullptr;
}

}  // namespace

XtraResult UsbClassPC::Close() {
  result.SetOk();
  StopReaderThread();
  CloseAndClear(inputHandle);
  CloseAndClear(readEvent);
  CloseAndClear(stopEvent);
  std::vector<uint8_t>().swap(writeBuffer);
  CloseAndClear(deviceHandle);
  listening = false;
  openMode = OpenMode::Shared;
  openCollection.reset();
  return result;
}

void UsbClassPC::StopReaderThread() {
  keepReading = false;
  if (!readerThread) return;
  SetEvent(stopEvent);
  // The reader wakes on stopEvent; should it be stuck in a read all the same,
  // cancelling that read frees it, and where Windows cannot cancel another
  // thread's read (XP), closing its handle does.
  if (WaitForSingleObject(readerThread, kReaderEndMs) == WAIT_TIMEOUT) {
    if (!CancelIoOfAnyThread(inputHandle)) CloseAndClear(inputHandle);
    WaitForSingleObject(readerThread, INFINITE);
  }
  CloseAndClear(readerThread);
}

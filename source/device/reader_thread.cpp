// The reader: one overlapped read at a time on the reader's own handle,
// waiting for the report or for Close, whichever comes first.
#include "device/usb_class_pc.h"

namespace {

// Failures after which no later read can succeed.
bool DeviceIsGone(DWORD error) {
  return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_BAD_COMMAND || error == ERROR_GEN_FAILURE ||
         error == ERROR_INVALID_HANDLE;
}

constexpr DWORD kRetryPauseMs = 100;

}  // namespace

DWORD WINAPI UsbClassPC::ReaderThreadEntry(LPVOID device) {
  static_cast<UsbClassPC*>(device)->ReaderThread();
  return 0;
}

void UsbClassPC::ReaderThread() {
  const DWORD length = inputReportLength;
  std::vector<uint8_t> report(length);
  HANDLE wakeUps[2] = {readEvent, stopEvent};
  // A device without input reports has nothing to read: wait for Close.
  if (length == 0) {
    WaitForSingleObject(stopEvent, INFINITE);
    return;
  }
  while (keepReading) {
    DWORD received = 0;
    BOOL done = ReadFile(inputHandle, report.data(), length, &received, &readOverlapped);
    DWORD error = done ? ERROR_SUCCESS : GetLastError();
    if (!done && error == ERROR_IO_PENDING) {
      if (WaitForMultipleObjects(2, wakeUps, FALSE, INFINITE) != WAIT_OBJECT_0) {
        // Stopping: a report that completed before the cancel is still kept.
        CancelIo(inputHandle);
        if (GetOverlappedResult(inputHandle, &readOverlapped, &received, TRUE)) StorePacket(report.data(), received);
        return;
      }
      done = GetOverlappedResult(inputHandle, &readOverlapped, &received, FALSE);
      error = done ? ERROR_SUCCESS : GetLastError();
    }
    if (done) {
      StorePacket(report.data(), received);
    } else if (DeviceIsGone(error)) {
      readerFailure = error;
      return;
    } else if (WaitForSingleObject(stopEvent, kRetryPauseMs) == WAIT_OBJECT_0) {
      return;
    }
  }
}

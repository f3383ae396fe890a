// The device object's platform-independent half: its status record, the
// buffer of input reports that the reader thread fills and the script reads,
// and what the reader met on its own thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "device/input_buffer.h"
#include "device/usb_device_info.h"
#include "diagnostics/xtra_result.h"
#include "platform.h"

class UsbClassBase {
 public:
  UsbClassBase();
  virtual ~UsbClassBase();
  UsbClassBase(const UsbClassBase&) = delete;
  UsbClassBase& operator=(const UsbClassBase&) = delete;

  virtual XtraResult OpenByID(int32_t vendorId, int32_t productId) = 0;
  virtual XtraResult OpenByProductName(const WCHAR* name) = 0;
  virtual bool IsOpen();
  virtual XtraResult Close() = 0;
  virtual XtraResult Write(const uint8_t* bytes, uint32_t length, int32_t* sent) = 0;
  virtual XtraResult FindDevices(DeviceList& list) = 0;
  virtual XtraResult IdleHook1() = 0;
  virtual XtraResult IdleHook2() = 0;
  virtual void Reserved();

  InputBuffer& input() { return input_; }

  // Called by the reader while it works for this object: the first failure
  // of a run of failed reads, or the failure after which no read can work.
  void NoteReaderFailure(DWORD error, bool ended);
  // What the reader noted since the last call; 0 when nothing.
  DWORD TakeReaderTrouble() { return readerTrouble_.exchange(0); }
  DWORD TakeReaderEnd() { return readerEnd_.exchange(0); }
  // Whether the reader of the open device ended for good, told or not.
  bool ReaderHasEnded() const { return readerEnded_; }

 protected:
  // What a reader of an earlier open noted is no news of the next device.
  void ForgetReaderFailures();

  XtraResult result;
  InputBuffer input_;
  bool listening = false;

 private:
  std::atomic<DWORD> readerTrouble_{0};
  std::atomic<DWORD> readerEnd_{0};
  std::atomic<bool> readerEnded_{false};
};

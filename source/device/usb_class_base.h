// The device object as the script side sees it: every operation a Lingo
// method asks of a device, its status record, the buffer of input reports
// that the reader thread fills and the script reads, and what the reader met
// on its own thread. Only the device layer knows how Windows does it.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "device/hid_collection_info.h"
#include "device/input_buffer.h"
#include "device/usb_device_info.h"
#include "controls/decoded_report.h"
#include "diagnostics/xtra_result.h"
#include "platform.h"

class UsbClassBase {
 public:
  // The device object of the platform the Xtra runs on; null without memory.
  static UsbClassBase* Make();
  // Whether a thread of a device object, closed or not, still runs code of
  // this module: it must stay loaded until none does.
  static bool ThreadsRunning();

  UsbClassBase();
  virtual ~UsbClassBase();
  UsbClassBase(const UsbClassBase&) = delete;
  UsbClassBase& operator=(const UsbClassBase&) = delete;

  virtual XtraResult OpenByID(int32_t vendorId, int32_t productId) = 0;
  virtual XtraResult OpenByProductName(const WCHAR* name) = 0;
  // Opens exactly the collection at `path`, as the other opens do after
  // their match; one that Windows keeps to itself opens for queries only,
  // unless `exclusive` asks for more than Windows grants.
  virtual XtraResult OpenByPath(const char* path, bool exclusive) = 0;
  virtual bool IsOpen();
  virtual XtraResult Close() = 0;
  virtual XtraResult Write(const uint8_t* bytes, uint32_t length, int32_t* sent) = 0;
  virtual XtraResult FindDevices(DeviceList& list) = 0;
  // Every HID collection present, as FindHidDevices lists them.
  virtual XtraResult FindCollections(std::vector<HidCollectionInfo>& list) = 0;
  virtual XtraResult IdleHook1() = 0;
  virtual XtraResult IdleHook2() = 0;
  virtual void Reserved();

  // Reports of a given ID over each way Windows offers. Sent reports are
  // laid out as Write lays them out, with `reportId` in byte 0; the sent
  // count is the report's length. Fetched reports are appended whole.
  virtual XtraResult WriteReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) = 0;
  virtual XtraResult SendOutputReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) = 0;
  virtual XtraResult SetFeatureReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) = 0;
  virtual XtraResult GetFeatureReport(uint8_t reportId, ByteList& out) = 0;
  virtual XtraResult GetInputReport(uint8_t reportId, ByteList& out) = 0;

  // The open collection's controls by name, as Windows parses its report
  // descriptor. Listed: those of one kind, in report order. Decoded: a
  // report of that kind as the device sent or answered it. Composed: an
  // output report holding the named values, every other control zero, for
  // WriteReport. SetFeatureUsages reads the feature report of the named
  // controls, changes them and sets it again. An error names the control or
  // the reason; nothing is sent then.
  virtual XtraResult ListControls(ControlKind kind, std::vector<Control>& out) = 0;
  virtual XtraResult DecodeReport(ControlKind kind, const uint8_t* bytes, uint32_t length, DecodedReport& out) = 0;
  virtual XtraResult ComposeOutputReport(const std::vector<NamedValue>& values, std::vector<uint8_t>& report) = 0;
  virtual XtraResult SetFeatureUsages(const std::vector<NamedValue>& values) = 0;

  // The open collection as FindCollections describes it; false when none is.
  virtual bool GetOpenCollection(HidCollectionInfo& out) const = 0;
  // False once the open device is gone, or when none is open.
  virtual bool IsConnected() = 0;
  // Whether a reader collects the open device's input reports: false for a
  // device held after an open that failed part way, or whose reader ended.
  bool IsReading() const { return listening && !readerEnded_; }
  // The capabilities of the last device opened (all zero before the first).
  XtraResult GetCapabilities(CollectionCapabilities& out);
  // How long a report to or from the device may take before it is given up.
  void SetWriteTimeout(uint32_t milliseconds) { writeTimeoutMs = milliseconds; }

  InputBuffer& input() { return input_; }

  // Called by the reader while it works for this object: the first failure
  // of a run of failed reads, or the failure after which no read can work.
  void NoteReaderFailure(uint32_t error, bool ended);
  // What the reader noted since the last call; 0 when nothing.
  uint32_t TakeReaderTrouble() { return readerTrouble_.exchange(0); }
  uint32_t TakeReaderEnd() { return readerEnd_.exchange(0); }
  // Whether an end is noted and not yet taken.
  bool ReaderEndNoted() const { return readerEnd_.load() != 0; }
  // Whether the reader of the open device ended for good, told or not.
  bool ReaderHasEnded() const { return readerEnded_; }
  // Moves on with every Close and open: what the movie heard of one device
  // is no news of the next, even the same one reopened.
  uint32_t DeviceSession() const { return session_; }

 protected:
  // What a reader of an earlier open noted is no news of the next device:
  // forgotten, and the session moved on.
  void ForgetPreviousDevice();

  XtraResult result;
  InputBuffer input_;
  bool listening = false;
  CollectionCapabilities caps{};
  uint32_t writeTimeoutMs = 1000;

 private:
  std::atomic<uint32_t> readerTrouble_{0};
  std::atomic<uint32_t> readerEnd_{0};
  std::atomic<bool> readerEnded_{false};
  uint32_t session_ = 0;
};

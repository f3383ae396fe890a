// The device object's platform-independent half: its status record and the
// buffer of input reports that the reader thread fills and the script reads.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "device/usb_device_info.h"
#include "diagnostics/xtra_result.h"
#include "platform.h"

using Packet = std::vector<uint8_t>;
using ByteList = std::vector<uint8_t>;

class UsbClassBase {
 public:
  // A movie that stops reading must not exhaust a 32-bit host: past this
  // many bytes of reports the oldest are dropped.
  static constexpr size_t kMaxBufferedBytes = 16u << 20;

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
  // Both append to `out`; `maximum` limits each packet, not the total.
  virtual XtraResult Read(ByteList& out, uint32_t maximum);
  virtual XtraResult ReadPacket(ByteList& out, uint32_t maximum);
  virtual void Reserved();

  int32_t NumberOfItemsInReadBuffer();
  int32_t NumberOfPacketsInReadBuffer();
  void SetDoNotBufferPackets(bool keepOnlyNewest);
  // Called by the reader thread for each report received.
  void StorePacket(const uint8_t* bytes, size_t length);
  // Reports dropped to keep the buffer bounded, since the last call.
  size_t TakeDroppedPacketCount();
  // All reports dropped so far, since the object was made.
  size_t DroppedPacketCount() const { return droppedPackets_; }

 protected:
  XtraResult result;
  std::deque<Packet> packets;
  bool listening = false;
  bool doNotBufferPackets = false;
  CRITICAL_SECTION bufferLock;

 private:
  size_t bufferedBytes_ = 0;
  // Read after every script read: a counter, so that needs no lock.
  std::atomic<size_t> droppedPackets_{0};
  size_t droppedPacketsTold_ = 0;  // by TakeDroppedPacketCount, on the host thread
};

// The input buffer: whole packets in arrival order, guarded by bufferLock,
// which the reader holds only while storing one packet.
#include "device/usb_class_base.h"

namespace {

class BufferLock {
 public:
  explicit BufferLock(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
  ~BufferLock() { LeaveCriticalSection(&lock_); }
  BufferLock(const BufferLock&) = delete;
  BufferLock& operator=(const BufferLock&) = delete;

 private:
  CRITICAL_SECTION& lock_;
};

}  // namespace

UsbClassBase::UsbClassBase() {
  result.Clear();
  result.SetOk();
  InitializeCriticalSection(&bufferLock);
}

UsbClassBase::~UsbClassBase() {
  result.SetOk();
  DeleteCriticalSection(&bufferLock);
}

bool UsbClassBase::IsOpen() { return listening; }

void UsbClassBase::Reserved() {}

XtraResult UsbClassBase::ReadPacket(ByteList& out, uint32_t maximum) {
  result.SetOk();
  BufferLock hold(bufferLock);
  if (!packets.empty()) {
    // The head goes even when nothing of it fits, so no packet can stall Read.
    const Packet& head = packets.front();
    const size_t taken = head.size() < maximum ? head.size() : maximum;
    out.insert(out.end(), head.begin(), head.begin() + static_cast<std::ptrdiff_t>(taken));
    bufferedBytes_ -= head.size();
    packets.pop_front();
  }
  return result;
}

XtraResult UsbClassBase::Read(ByteList& out, uint32_t maximum) {
  result.SetOk();
  BufferLock hold(bufferLock);
  while (!packets.empty()) ReadPacket(out, maximum);
  return result;
}

int32_t UsbClassBase::NumberOfItemsInReadBuffer() {
  BufferLock hold(bufferLock);
  return static_cast<int32_t>(bufferedBytes_);
}

int32_t UsbClassBase::NumberOfPacketsInReadBuffer() {
  BufferLock hold(bufferLock);
  return static_cast<int32_t>(packets.size());
}

void UsbClassBase::SetDoNotBufferPackets(bool keepOnlyNewest) {
  BufferLock hold(bufferLock);
  doNotBufferPackets = keepOnlyNewest;
}

void UsbClassBase::StorePacket(const uint8_t* bytes, size_t length) {
  if (length == 0) return;
  BufferLock hold(bufferLock);
  if (doNotBufferPackets) {
    packets.clear();
    bufferedBytes_ = 0;
  }
  packets.emplace_back(bytes, bytes + length);
  bufferedBytes_ += length;
  while (bufferedBytes_ > kMaxBufferedBytes) {
    bufferedBytes_ -= packets.front().size();
    packets.pop_front();
    ++droppedPackets_;
  }
}

size_t UsbClassBase::TakeDroppedPacketCount() {
  const size_t dropped = droppedPackets_;
  const size_t fresh = dropped - droppedPacketsTold_;
  droppedPacketsTold_ = dropped;
  return fresh;
}

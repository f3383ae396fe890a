#include "device/input_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "device/lock_hold.h"

namespace {

// The first ring holds a few hundred ordinary reports; each step doubles it.
constexpr size_t kFirstCapacity = 16u << 10;
// A ring this large is let go once the movie has read everything: after a
// backlog the host should not keep its memory for good.
constexpr size_t kLargestKeptWhenEmpty = 1u << 20;

}  // namespace

InputBuffer::InputBuffer() { InitializeCriticalSection(&lock_); }

InputBuffer::~InputBuffer() { DeleteCriticalSection(&lock_); }

void InputBuffer::Store(const uint8_t* bytes, size_t length) {
  if (length == 0 || length > kMaxBytes) return;
  LockHold hold(lock_);
  if (keepOnlyNewest_) DropAll();
  while (bytes_ + length > kMaxBytes) {
    DropOldest();
    ++dropped_;
  }
  try {
    if (bytes_ + length > capacity_) Grow(bytes_ + length);
    if (runs_.empty() || runs_.back().length != length)
      runs_.push_back({static_cast<uint32_t>(length), 0});
  } catch (const std::bad_alloc&) {
    ++dropped_;
    return;
  }
  ++runs_.back().count;
  const size_t tail = (head_ + bytes_) % capacity_;
  const size_t first = std::min(length, capacity_ - tail);
  std::memcpy(ring_.get() + tail, bytes, first);
  std::memcpy(ring_.get(), bytes + first, length - first);
  bytes_ += length;
  ++packets_;
}

InputBuffer::Copied InputBuffer::Copy(ByteList& out, size_t perPacket, size_t packets, size_t total,
                                      std::vector<uint32_t>* lengths) {
  LockHold hold(lock_);
  size_t offset = head_;
  size_t copiedBytes = 0;
  size_t copiedPackets = 0;
  for (auto run = runs_.begin(); run != runs_.end() && copiedPackets < packets; ++run) {
    for (size_t i = 0; i < run->count && copiedPackets < packets; ++i) {
      const size_t taken = std::min<size_t>(run->length, perPacket);
      if (copiedPackets > 0 && copiedBytes + taken > total) return {firstSequence_ + copiedPackets, copiedPackets};
      CopyOut(offset, taken, out);
      if (lengths) lengths->push_back(static_cast<uint32_t>(taken));
      offset = (offset + run->length) % capacity_;
      copiedBytes += taken;
      ++copiedPackets;
    }
  }
  return {firstSequence_ + copiedPackets, copiedPackets};
}

InputBuffer::Copied InputBuffer::CopyNewest(ByteList& out, size_t perPacket) {
  LockHold hold(lock_);
  if (packets_ == 0) return {firstSequence_, 0};
  const uint32_t length = runs_.back().length;
  CopyOut((head_ + bytes_ - length) % capacity_, std::min<size_t>(length, perPacket), out);
  return {firstSequence_ + packets_, packets_};
}

void InputBuffer::Remove(const Copied& copied) {
  LockHold hold(lock_);
  while (packets_ > 0 && firstSequence_ < copied.end) DropOldest();
  if (packets_ == 0 && capacity_ > kLargestKeptWhenEmpty) {
    ring_.reset();
    capacity_ = 0;
  }
}

size_t InputBuffer::TakeDroppedCount() {
  const size_t dropped = dropped_;
  const size_t fresh = dropped - droppedTold_;
  droppedTold_ = dropped;
  return fresh;
}

size_t InputBuffer::Bytes() {
  LockHold hold(lock_);
  return bytes_;
}

size_t InputBuffer::Packets() {
  LockHold hold(lock_);
  return packets_;
}

size_t InputBuffer::Capacity() {
  LockHold hold(lock_);
  return capacity_;
}

void InputBuffer::KeepOnlyNewest(bool only) {
  LockHold hold(lock_);
  keepOnlyNewest_ = only;
}

void InputBuffer::Grow(size_t needed) {
  const size_t capacity = std::min(kMaxBytes, std::max({needed, kFirstCapacity, capacity_ * 2}));
  std::unique_ptr<uint8_t[]> ring(new uint8_t[capacity]);
  // The packets move to the start of the new ring, oldest first.
  const size_t first = std::min(bytes_, capacity_ - head_);
  if (bytes_) {
    std::memcpy(ring.get(), ring_.get() + head_, first);
    std::memcpy(ring.get() + first, ring_.get(), bytes_ - first);
  }
  ring_ = std::move(ring);
  capacity_ = capacity;
  head_ = 0;
}

void InputBuffer::DropOldest() {
  Run& oldest = runs_.front();
  head_ = (head_ + oldest.length) % capacity_;
  bytes_ -= oldest.length;
  if (--oldest.count == 0) runs_.pop_front();
  --packets_;
  ++firstSequence_;
  if (packets_ == 0) head_ = 0;
}

void InputBuffer::DropAll() {
  firstSequence_ += packets_;
  runs_.clear();
  packets_ = 0;
  bytes_ = 0;
  head_ = 0;
}

void InputBuffer::CopyOut(size_t offset, size_t length, ByteList& out) const {
  const size_t first = std::min(length, capacity_ - offset);
  out.insert(out.end(), ring_.get() + offset, ring_.get() + offset + first);
  out.insert(out.end(), ring_.get(), ring_.get() + (length - first));
}

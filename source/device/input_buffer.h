// The input reports that the reader has received and the movie has not read:
// whole packets in arrival order. Their bytes lie in one ring, grown in steps
// up to the bound, beside the lengths of runs of equally long packets (a
// device's reports are all as long as its input report), so that storing a
// report allocates nothing once the ring has grown.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform.h"

using ByteList = std::vector<uint8_t>;

class InputBuffer {
 public:
  // A movie that stops reading must not exhaust a 32-bit host: past this
  // many bytes of reports the oldest are dropped.
  static constexpr size_t kMaxBytes = 16u << 20;

  // Packets copied out and not yet removed, up to this end; `packets` is how
  // many that removal takes out, copied or passed over.
  struct Copied {
    uint64_t end = 0;
    size_t packets = 0;
  };

  InputBuffer();
  ~InputBuffer();
  InputBuffer(const InputBuffer&) = delete;
  InputBuffer& operator=(const InputBuffer&) = delete;

  // Called by the reader for each report. Never throws: a report that finds
  // no memory is dropped and counted with those dropped at the bound.
  void Store(const uint8_t* bytes, size_t length);
  // Appends the oldest packets to `out`, at most `perPacket` bytes of each
  // (the rest of a packet goes with it), up to `packets` packets and, past
  // the first, `total` bytes in all. They stay buffered until Remove, so
  // that a movie that could not be handed them loses nothing.
  // With `lengths`, each packet's copied length is appended there.
  Copied Copy(ByteList& out, size_t perPacket, size_t packets, size_t total,
              std::vector<uint32_t>* lengths = nullptr);
  // Appends the newest packet alone; its Remove takes every older one too.
  Copied CopyNewest(ByteList& out, size_t perPacket);
  // Takes out what Copy copied, as far as it is still there.
  void Remove(const Copied& copied);

  size_t Bytes();
  size_t Packets();
  // From the next report on, keeps that report only.
  void KeepOnlyNewest(bool only);
  // Reports dropped since the last call, on the host thread.
  size_t TakeDroppedCount();
  // Every report dropped since the buffer was made: a counter, so it needs
  // no lock.
  size_t DroppedCount() const { return dropped_; }
  // What the ring has room for now.
  size_t Capacity();

 private:
  struct Run {
    uint32_t length;
    size_t count;
  };

  void Grow(size_t needed);
  void DropOldest();
  void DropAll();
  void CopyOut(size_t offset, size_t length, ByteList& out) const;

  CRITICAL_SECTION lock_;
  std::unique_ptr<uint8_t[]> ring_;
  size_t capacity_ = 0;
  size_t head_ = 0;   // where the oldest packet starts
  size_t bytes_ = 0;  // bytes held, from head_ on, wrapping at capacity_
  std::deque<Run> runs_;
  size_t packets_ = 0;
  uint64_t firstSequence_ = 0;  // the oldest packet's number; every packet stored gets the next
  bool keepOnlyNewest_ = false;
  std::atomic<size_t> dropped_{0};
  size_t droppedTold_ = 0;
};

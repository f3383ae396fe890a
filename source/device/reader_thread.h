// The reader of one open device, its whole life: its own handle on the
// device, its read and its report buffer, from the open that starts it to
// the cancel of its last read. It runs on a thread of the reader pool, which
// outlives it, lends it the events it waits on, and serves the next open
// with nothing else of this one. The device object and the thread each hold
// a reference, and whoever lets go last frees it: Close never waits for the
// reader to end. It takes a report that has come in, lets go of the reader
// and wakes it; the reader then cancels its read and ends on its own, never
// touching the device object again.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/scoped_resources.h"
#include "device/usb_class_base.h"
#include "platform.h"

class ReaderThread {
 public:
  // The device object's reference: letting go of it stops the reader.
  struct LetGo {
    void operator()(ReaderThread* reader) const;
  };
  using Reference = std::unique_ptr<ReaderThread, LetGo>;

  // Opens the reader's own handle on the device at `path`; null, with why
  // in `result`, when it cannot. Exclusive: beside the device object's
  // handle, which writes and lets only readers in, this one reads and lets
  // only writers in. Throws std::bad_alloc for the report buffer.
  static Reference Prepare(UsbClassBase& device, const std::string& path, uint32_t reportLength, bool exclusive,
                           XtraResult& result);
  ReaderThread(const ReaderThread&) = delete;
  ReaderThread& operator=(const ReaderThread&) = delete;

  // Starts reading on a thread of the reader pool; false, with why in
  // `result`, when there is no thread to read on or no events to wait with.
  bool Start(XtraResult& result);

  // Readers let go of whose handle is still open: for a moment they still
  // hold their device against an exclusive open.
  static long LettingGo();

 private:
  // What one wait for a report ends with, and the error that ended it.
  enum class Outcome { Report, Stopped, Gone, Retry };
  struct WaitResult {
    Outcome outcome;
    DWORD error;
  };
  // The steps that wait is made of.
  enum class Step { Stored, Marked, Waiting, Failed, Stopped };
  struct StepResult {
    Step step;
    DWORD error;
  };

  ReaderThread(UsbClassBase& device, uint32_t reportLength);
  ~ReaderThread();
  // Close's part: stores a report that has come in, then lets go of the
  // device and wakes the thread. Returns at once.
  void Stop();
  // Lets go of one reference; the last frees the reader.
  static void Release(ReaderThread* reader);

  static void Serve(void* reader);
  void ReadUntilStopped();
  void WaitUntilStopped();
  WaitResult WaitForOneReport();
  StepResult Advance();
  StepResult StartRead();
  StepResult MarkRead();
  StepResult Collect();
  void Store(DWORD received);
  bool Tell(DWORD error, bool gone);
  void Pause();
  void EndPendingRead();

  ScopedHandle file_;
  // Its event is the read's own, set when the read has ended. It and the
  // stop event are lent by the thread the reader runs on, from Start until
  // the reader ends.
  OVERLAPPED overlapped_{};
  std::vector<uint8_t> report_;
  std::atomic<int> references_{1};
  // The thread's own: told of the failure that began the current run.
  bool failing_ = false;

  CRITICAL_SECTION lock_;
  // Under lock_. The device is null once Close has let go; the stop event
  // is null before Start and after the reader has ended.
  UsbClassBase* device_;
  HANDLE stopEvent_ = nullptr;
  bool readPending_ = false;
  bool stopped_ = false;
};

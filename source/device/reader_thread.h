// The reader thread of one open device and what it owns: its own handle on
// the device, the events it waits on, its read and its report buffer. The
// device object and the thread each hold a reference, and whoever lets go
// last frees it: Close never waits for the thread to end. It takes a report
// that has come in, lets go of the reader and wakes it; the reader then
// cancels its read and ends on its own, never touching the device object
// again.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "device/usb_class_base.h"
#include "platform.h"

class ReaderThread {
 public:
  // One reference, the device's. Throws std::bad_alloc for the report buffer.
  ReaderThread(UsbClassBase& device, uint32_t reportLength);
  ReaderThread(const ReaderThread&) = delete;
  ReaderThread& operator=(const ReaderThread&) = delete;

  // The steps of an open; each false with the last error telling why.
  // Exclusive: beside the device object's handle, which writes and lets
  // only readers in, this one reads and lets only writers in.
  bool OpenFile(const std::string& devicePath, bool exclusive);
  bool MakeReadEvent();
  bool MakeStopEvent();
  // Returns once the thread runs: the system's work on a thread that is
  // still starting would hold up a Close that comes at once.
  bool Start();

  // Close's part: stores a report that has come in, then lets go of the
  // device and wakes the thread. Returns at once.
  void Stop();
  // Lets go of one reference; the last frees the reader.
  static void Release(ReaderThread* reader);

  // Reader threads that have not ended: the module must stay loaded.
  static long LiveThreads();
  // Readers let go of whose handle is still open: for a moment they still
  // hold their device against an exclusive open.
  static long LettingGo();

 private:
  enum class Step { Stored, Marked, Waiting, Failed, WaitFailed, Stopped };
  class Hold;

  ~ReaderThread();
  static DWORD WINAPI Main(LPVOID reader);
  void ReadUntilStopped();
  void WaitUntilStopped();
  Step Advance(DWORD& error, bool& marked);
  Step StartRead(DWORD& error, bool& marked, bool& failing);
  void MarkRead();
  Step Collect(DWORD& error);
  void Store(DWORD received);
  void Fail(Step step, DWORD error, bool& failing);
  void Pause();
  void EndPendingRead();

  HANDLE file_ = nullptr;
  HANDLE stopEvent_ = nullptr;
  HANDLE readyEvent_ = nullptr;  // set by the thread once it runs
  OVERLAPPED overlapped_{};  // hEvent: the read's own event
  std::vector<uint8_t> report_;
  HMODULE module_ = nullptr;  // holds the module loaded until the thread has ended
  std::atomic<int> references_{1};

  CRITICAL_SECTION lock_;
  // Both under lock_. The device is null once Close has let go.
  UsbClassBase* device_;
  bool readPending_ = false;
  bool stopped_ = false;
};

#include "device/reader_thread.h"

#include <algorithm>

#include "device/own_io.h"

namespace {

// A failed read on a device that is still there is retried after this pause.
constexpr DWORD kRetryPauseMs = 100;
// How often a waiting reader looks whether Close has let go of it, should the
// stop event never come.
constexpr DWORD kStopPollMs = 250;
// How long Start waits for the thread to run; it runs on regardless.
constexpr DWORD kStartWaitMs = 1000;

std::atomic<long> gLiveThreads{0};
std::atomic<long> gLettingGo{0};

// Failures after which no later read can succeed.
bool DeviceIsGone(DWORD error) { return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_INVALID_HANDLE; }

void CloseIfOpen(HANDLE handle) {
  if (handle) CloseHandle(handle);
}

}  // namespace

class ReaderThread::Hold {
 public:
  explicit Hold(ReaderThread& reader) : lock_(reader.lock_) { EnterCriticalSection(&lock_); }
  ~Hold() { LeaveCriticalSection(&lock_); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

 private:
  CRITICAL_SECTION& lock_;
};

ReaderThread::ReaderThread(UsbClassBase& device, uint32_t reportLength) : report_(reportLength), device_(&device) {
  InitializeCriticalSection(&lock_);
}

ReaderThread::~ReaderThread() {
  CloseIfOpen(file_);
  CloseIfOpen(overlapped_.hEvent);
  CloseIfOpen(stopEvent_);
  CloseIfOpen(readyEvent_);
  DeleteCriticalSection(&lock_);
  if (stopped_) --gLettingGo;
}

bool ReaderThread::OpenFile(const std::string& devicePath, bool exclusive) {
  // Overlapped, so that the reader can wait for a report and a stop at once.
  HANDLE file = CreateFileA(devicePath.c_str(), exclusive ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                            exclusive ? FILE_SHARE_WRITE : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  file_ = file;
  // The HID class driver keeps 32 unread reports by default: 4 ms at 8000
  // reports a second, less than a busy PC may keep the reader waiting.
  // More is better but not essential, so a refusal is no error.
  constexpr ULONG kDriverInputBuffers = 512;
  HidD_SetNumInputBuffers(file_, kDriverInputBuffers);
  return true;
}

bool ReaderThread::MakeReadEvent() {
  overlapped_.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  return overlapped_.hEvent != nullptr;
}

bool ReaderThread::MakeStopEvent() {
  stopEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  return stopEvent_ != nullptr;
}

bool ReaderThread::Start() {
  readyEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!readyEvent_) return false;
  // A reference of its own on the module: Director may unload it as soon as
  // DllCanUnloadNow agrees, while the thread still has its last steps to go.
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&ReaderThread::Main),
                          &module_))
    module_ = nullptr;
  ++references_;
  ++gLiveThreads;
  HANDLE thread = CreateThread(nullptr, 0, Main, this, 0, nullptr);
  if (!thread) {
    const DWORD error = GetLastError();
    --gLiveThreads;
    --references_;
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    SetLastError(error);
    return false;
  }
  // Nothing waits for the thread's end: it ends on its own.
  CloseHandle(thread);
  WaitForSingleObject(readyEvent_, kStartWaitMs);
  return true;
}

void ReaderThread::Stop() {
  {
    Hold hold(*this);
    // A report that has come in before the stop is the movie's, stored or not.
    DWORD ignored = ERROR_SUCCESS;
    if (readPending_) Collect(ignored);
    device_ = nullptr;
    if (!stopped_) ++gLettingGo;
    stopped_ = true;
  }
  // Should this fail, the reader still sees within kStopPollMs that it is let go.
  SetEvent(stopEvent_);
}

void ReaderThread::Release(ReaderThread* reader) {
  if (--reader->references_ == 0) delete reader;
}

long ReaderThread::LiveThreads() { return gLiveThreads.load(); }

long ReaderThread::LettingGo() { return gLettingGo.load(); }

DWORD WINAPI ReaderThread::Main(LPVOID parameter) {
  auto* reader = static_cast<ReaderThread*>(parameter);
  SetEvent(reader->readyEvent_);
  HMODULE module = reader->module_;
  if (reader->report_.empty())
    reader->WaitUntilStopped();
  else
    reader->ReadUntilStopped();
  Release(reader);
  --gLiveThreads;
  if (module) FreeLibraryAndExitThread(module, 0);
  return 0;
}

// A device without input reports has nothing to read: wait for Close.
void ReaderThread::WaitUntilStopped() {
  for (;;) {
    {
      Hold hold(*this);
      if (!device_) return;
    }
    if (WaitForSingleObject(stopEvent_, kStopPollMs) == WAIT_FAILED) Sleep(kRetryPauseMs);
  }
}

void ReaderThread::ReadUntilStopped() {
  bool failing = false;
  bool marked = false;  // a read is marked as under way and not started yet
  for (;;) {
    DWORD error = ERROR_SUCCESS;
    const Step step = marked ? StartRead(error, marked, failing) : Advance(error, marked);
    if (step == Step::Stopped) break;
    if (step == Step::Stored) {
      failing = false;
    } else if (step == Step::Failed || step == Step::WaitFailed) {
      Fail(step, error, failing);
    } else if (step == Step::Waiting) {
      const HANDLE wakeUps[2] = {overlapped_.hEvent, stopEvent_};
      // A wait that failed is no stop: it is told, and the reader goes on.
      if (WaitForMultipleObjects(2, wakeUps, FALSE, kStopPollMs) == WAIT_FAILED)
        Fail(Step::WaitFailed, GetLastError(), failing);
    }
  }
  EndPendingRead();
}

// Takes the result of the read under way, or marks the next one.
ReaderThread::Step ReaderThread::Advance(DWORD& error, bool& marked) {
  Hold hold(*this);
  if (!device_) return Step::Stopped;
  if (readPending_) return Collect(error);
  MarkRead();
  marked = true;
  return Step::Marked;
}

// Starts the marked read, without the lock: starting a read may take the
// system a while, and Close must not wait for that. Reports that were
// waiting are stored as they come, each next read started under the same
// hold of the lock: reading a report that is there takes the system little.
ReaderThread::Step ReaderThread::StartRead(DWORD& error, bool& marked, bool& failing) {
  marked = false;
  BOOL done = ReadFile(file_, report_.data(), static_cast<DWORD>(report_.size()), nullptr, &overlapped_);
  error = done ? ERROR_SUCCESS : GetLastError();
  if (error == ERROR_IO_PENDING) return Step::Waiting;
  Hold hold(*this);
  for (;;) {
    // Close took the report meanwhile.
    if (!readPending_) return Step::Waiting;
    readPending_ = false;
    if (!done) return Step::Failed;
    // Let go of before the report came: it came after the stop.
    if (!device_) return Step::Stopped;
    // OVERLAPPED tells the length of a report that was waiting.
    Store(static_cast<DWORD>(overlapped_.InternalHigh));
    failing = false;
    MarkRead();
    done = ReadFile(file_, report_.data(), static_cast<DWORD>(report_.size()), nullptr, &overlapped_);
    error = done ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_IO_PENDING) return Step::Stored;
  }
}

// With the lock held and no read under way, when the OVERLAPPED is the
// reader's. Marked as under way, as ReadFile marks it, it keeps Close from
// taking the read for finished before it has even started.
void ReaderThread::MarkRead() {
  overlapped_.Internal = static_cast<ULONG_PTR>(STATUS_PENDING);
  readPending_ = true;
}

// With the lock held.
ReaderThread::Step ReaderThread::Collect(DWORD& error) {
  if (!HasOverlappedIoCompleted(&overlapped_)) return Step::Waiting;
  readPending_ = false;
  DWORD received = 0;
  error = IoOutcome(file_, &overlapped_, &received);
  if (error != ERROR_SUCCESS) return Step::Failed;
  Store(received);
  return Step::Stored;
}

// With the lock held. A read never gives more than it asked for; should it
// claim to, the buffer holds no more.
void ReaderThread::Store(DWORD received) {
  device_->input().Store(report_.data(), std::min<size_t>(received, report_.size()));
}

// Tells the device of a failed read or wait, the first of a run only, and
// pauses; a device that is gone is let go of instead.
void ReaderThread::Fail(Step step, DWORD error, bool& failing) {
  {
    Hold hold(*this);
    if (!device_) return;
    const bool gone = step == Step::Failed && DeviceIsGone(error);
    if (gone || !failing) device_->NoteReaderFailure(error, gone);
    // From here on the read is the reader's own business.
    if (gone) {
      device_ = nullptr;
      return;
    }
  }
  failing = true;
  Pause();
}

void ReaderThread::Pause() {
  if (WaitForSingleObject(stopEvent_, kRetryPauseMs) == WAIT_FAILED) Sleep(kRetryPauseMs);
}

// The reader is let go with a read still under way, which owns the report
// buffer until it ends: cancel it, and again should the cancel not take.
void ReaderThread::EndPendingRead() {
  if (!readPending_) return;
  for (;;) {
    CancelOwnIo(file_, &overlapped_);
    const DWORD waited = WaitForSingleObject(overlapped_.hEvent, kRetryPauseMs);
    if (waited == WAIT_OBJECT_0) return;
    if (waited == WAIT_FAILED) Sleep(kRetryPauseMs);
  }
}

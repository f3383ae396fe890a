#include "device/reader_thread.h"

#include <algorithm>

#include "device/interface_open.h"
#include "device/lock_hold.h"
#include "device/own_io.h"
#include "device/reader_pool.h"
#include "diagnostics/system_message.h"

namespace {

// A failed read on a device that is still there is retried after this pause.
constexpr DWORD kRetryPauseMs = 100;
// How often a waiting reader looks whether Close has let go of it, should the
// stop event never come.
constexpr DWORD kStopPollMs = 250;
// The HID class driver keeps 32 unread reports by default: 4 ms at 8000
// reports a second, less than a busy PC may keep the reader waiting.
constexpr ULONG kDriverInputBuffers = 512;

std::atomic<long> gLettingGo{0};

// Codes after which no later read can succeed.
bool SaysGone(DWORD error) { return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_INVALID_HANDLE; }

// Other codes may come from a device that is there as well as from one that
// is gone (Wine fails the reads of a removed device with ERROR_ACCESS_DENIED):
// the device is asked, and one that no longer answers is taken as removed,
// whatever the code, and told as such.
bool StillThere(HANDLE file) {
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  return HidD_GetAttributes(file, &attributes) != FALSE;
}

}  // namespace

// ---- Start: the open's part ------------------------------------------------

ReaderThread::ReaderThread(UsbClassBase& device, uint32_t reportLength) : report_(reportLength), device_(&device) {
  InitializeCriticalSection(&lock_);
}

ReaderThread::~ReaderThread() {
  // Closed before it counts as gone: an exclusive open waits for the handle.
  file_.reset();
  if (stopped_) --gLettingGo;
  DeleteCriticalSection(&lock_);
}

ReaderThread::Reference ReaderThread::Prepare(UsbClassBase& device, const std::string& path, uint32_t reportLength,
                                              bool exclusive, XtraResult& result) {
  Reference reader(new ReaderThread(device, reportLength));
  // Overlapped, so that the reader can wait for a report and a stop at once.
  // Through the same wait as the device object's own handle: a reader just
  // let go of may still hold an exclusively opened device for a moment.
  reader->file_ = OpenInterface(path.c_str(), exclusive ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                                exclusive ? FILE_SHARE_WRITE : FILE_SHARE_READ | FILE_SHARE_WRITE,
                                FILE_FLAG_OVERLAPPED);
  if (!reader->file_) {
    SetFixedError(result, "Could not open an input pipe", GetLastError());
    return nullptr;
  }
  // More driver buffers are better but not essential: a refusal is no error.
  // Asked for before the open returns: a burst that comes at once must not
  // find the driver's default of 32.
  HidD_SetNumInputBuffers(reader->file_.get(), kDriverInputBuffers);
  return reader;
}

bool ReaderThread::Start(XtraResult& result) {
  ++references_;
  // Held until the events are in place: the thread's first step takes it.
  LockHold hold(lock_);
  reader_pool::Events events;
  const reader_pool::Refusal refusal = reader_pool::Run(Serve, this, events);
  if (refusal == reader_pool::Refusal::None) {
    overlapped_.hEvent = events.io;
    stopEvent_ = events.stop;
    return true;
  }
  // An open that reports success with no reader would leave the movie
  // waiting for reports that never come.
  if (refusal == reader_pool::Refusal::NoIoEvent)
    SetFixedError(result, "Could not create an event", GetLastError());
  else if (refusal == reader_pool::Refusal::NoStopEvent)
    SetFixedError(result, "Listen could not create stop event", GetLastError());
  else
    result.SetError("Could not start the reader thread", static_cast<int32_t>(GetLastError()));
  --references_;
  return false;
}

void ReaderThread::Serve(void* parameter) {
  auto* reader = static_cast<ReaderThread*>(parameter);
  if (reader->report_.empty())
    reader->WaitUntilStopped();
  else
    reader->ReadUntilStopped();
  {
    // The events go back to the thread: no one may set them from here on.
    LockHold hold(reader->lock_);
    reader->stopEvent_ = nullptr;
    reader->readPending_ = false;
  }
  Release(reader);
}

long ReaderThread::LettingGo() { return gLettingGo.load(); }

// ---- Reading ---------------------------------------------------------------

// A device without input reports has nothing to read: wait for Close.
void ReaderThread::WaitUntilStopped() {
  for (;;) {
    {
      LockHold hold(lock_);
      if (!device_) return;
    }
    if (WaitForSingleObject(stopEvent_, kStopPollMs) == WAIT_FAILED) Sleep(kRetryPauseMs);
  }
}

void ReaderThread::ReadUntilStopped() {
  for (;;) {
    const WaitResult waited = WaitForOneReport();
    if (waited.outcome == Outcome::Stopped) break;
    if (waited.outcome == Outcome::Report) {
      failing_ = false;
      continue;
    }
    // A device that is gone is let go of: the next wait answers Stopped.
    const bool gone = waited.outcome == Outcome::Gone;
    if (Tell(waited.error, gone) && !gone) Pause();
  }
  EndPendingRead();
}

// Reads until a report is stored, the reader is let go of, or a read or a
// wait fails; a failed wait is never taken for a stop.
ReaderThread::WaitResult ReaderThread::WaitForOneReport() {
  StepResult step = Advance();
  for (;;) {
    switch (step.step) {
      case Step::Stored:
        return {Outcome::Report, ERROR_SUCCESS};
      case Step::Stopped:
        return {Outcome::Stopped, ERROR_SUCCESS};
      case Step::Failed:
        if (SaysGone(step.error)) return {Outcome::Gone, step.error};
        if (StillThere(file_.get())) return {Outcome::Retry, step.error};
        return {Outcome::Gone, ERROR_DEVICE_NOT_CONNECTED};
      case Step::Marked:
        step = StartRead();
        break;
      case Step::Waiting: {
        const HANDLE wakeUps[2] = {overlapped_.hEvent, stopEvent_};
        if (WaitForMultipleObjects(2, wakeUps, FALSE, kStopPollMs) == WAIT_FAILED)
          return {Outcome::Retry, GetLastError()};
        step = Advance();
        break;
      }
    }
  }
}

// Takes the result of the read under way, or marks the next one.
ReaderThread::StepResult ReaderThread::Advance() {
  LockHold hold(lock_);
  if (!device_) return {Step::Stopped, ERROR_SUCCESS};
  if (readPending_) return Collect();
  return MarkRead();
}

// Starts the marked read, without the lock: starting a read may take the
// system a while, and Close must not wait for that. Reports that were
// waiting are stored as they come, each next read started under the same
// hold of the lock: reading a report that is there takes the system little.
ReaderThread::StepResult ReaderThread::StartRead() {
  BOOL done = ReadFile(file_.get(), report_.data(), static_cast<DWORD>(report_.size()), nullptr, &overlapped_);
  DWORD error = done ? ERROR_SUCCESS : GetLastError();
  if (error == ERROR_IO_PENDING) return {Step::Waiting, ERROR_SUCCESS};
  LockHold hold(lock_);
  for (;;) {
    // Close took the report meanwhile.
    if (!readPending_) return {Step::Waiting, ERROR_SUCCESS};
    readPending_ = false;
    if (!done) return {Step::Failed, error};
    // Let go of before the report came: it came after the stop.
    if (!device_) return {Step::Stopped, ERROR_SUCCESS};
    // A read that ended at once tells its length as one that waited does.
    const IoResult read = IoOutcome(file_.get(), &overlapped_);
    if (read.error != ERROR_SUCCESS) return {Step::Failed, read.error};
    Store(read.bytes);
    failing_ = false;
    const StepResult marked = MarkRead();
    if (marked.step != Step::Marked) return marked;
    done = ReadFile(file_.get(), report_.data(), static_cast<DWORD>(report_.size()), nullptr, &overlapped_);
    error = done ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_IO_PENDING) return {Step::Stored, ERROR_SUCCESS};
  }
}

// With the lock held and no read under way. Whether a read has ended is
// judged by its event, which only the read's end sets, never by the
// OVERLAPPED, whose fields are the system's: reset before the read starts,
// it keeps Close from taking the last read's end for this one's.
ReaderThread::StepResult ReaderThread::MarkRead() {
  if (!ResetEvent(overlapped_.hEvent)) return {Step::Failed, GetLastError()};
  readPending_ = true;
  return {Step::Marked, ERROR_SUCCESS};
}

// With the lock held.
ReaderThread::StepResult ReaderThread::Collect() {
  if (!IoFinished(overlapped_, 0)) return {Step::Waiting, ERROR_SUCCESS};
  readPending_ = false;
  const IoResult read = IoOutcome(file_.get(), &overlapped_);
  if (read.error != ERROR_SUCCESS) return {Step::Failed, read.error};
  Store(read.bytes);
  return {Step::Stored, ERROR_SUCCESS};
}

// With the lock held. A read never gives more than it asked for; should it
// claim to, the buffer holds no more.
void ReaderThread::Store(DWORD received) {
  device_->input().Store(report_.data(), std::min<size_t>(received, report_.size()));
}

// Tells the device of a failed read or wait, the first of a run only; a
// device that is gone is told, then let go of: from here on the read is the
// reader's own business. False when Close has let go of the reader.
bool ReaderThread::Tell(DWORD error, bool gone) {
  LockHold hold(lock_);
  if (!device_) return false;
  if (gone || !failing_) device_->NoteReaderFailure(error, gone);
  failing_ = true;
  if (gone) device_ = nullptr;
  return true;
}

void ReaderThread::Pause() {
  if (WaitForSingleObject(stopEvent_, kRetryPauseMs) == WAIT_FAILED) Sleep(kRetryPauseMs);
}

// ---- Stop: Close's part and the reader's last steps -------------------------

void ReaderThread::LetGo::operator()(ReaderThread* reader) const {
  reader->Stop();
  Release(reader);
}

void ReaderThread::Stop() {
  {
    LockHold hold(lock_);
    // A report that has come in before the stop is the movie's, stored or
    // not; a failed read no longer concerns anyone.
    if (readPending_) Collect();
    device_ = nullptr;
    if (!stopped_) ++gLettingGo;
    stopped_ = true;
    // Should this fail, the reader still sees within kStopPollMs that it is
    // let go. A reader that has ended, or never ran, has no event to set.
    if (stopEvent_) SetEvent(stopEvent_);
  }
}

void ReaderThread::Release(ReaderThread* reader) {
  if (--reader->references_ == 0) delete reader;
}

// The reader is let go with a read still under way, which owns the report
// buffer until it ends: cancel it, and again should the cancel not take.
void ReaderThread::EndPendingRead() {
  if (!readPending_) return;
  for (;;) {
    CancelOwnIo(file_.get(), &overlapped_);
    const DWORD waited = WaitForSingleObject(overlapped_.hEvent, kRetryPauseMs);
    if (waited == WAIT_OBJECT_0) return;
    if (waited == WAIT_FAILED) Sleep(kRetryPauseMs);
  }
}

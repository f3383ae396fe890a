#include "device/device_request.h"

#include <algorithm>

#include "device/own_io.h"
#include "device/report_layout.h"

namespace {

// How long a cancelled request may take to end.
constexpr DWORD kCancelWaitMs = 250;

}  // namespace

std::unique_ptr<DeviceRequest> DeviceRequest::Make(uint32_t capacity) {
  return std::unique_ptr<DeviceRequest>(new DeviceRequest(capacity));
}

DWORD DeviceRequest::Ready(HANDLE device) {
  if (inFlight_ && !Cancel(device)) return ERROR_TIMEOUT;
  if (!event_) {
    event_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event_) return GetLastError();
    overlapped_.hEvent = event_.get();
  }
  return ERROR_SUCCESS;
}

IoResult DeviceRequest::Send(HANDLE device, DWORD code, uint8_t reportId, const uint8_t* payload, uint32_t length,
                             uint32_t reportLength, DWORD timeoutMs) {
  if (const DWORD error = Ready(device)) return {error, 0};
  LayOutReport(reportId, payload, length, bytes_.data(), reportLength);
  const BOOL started = code ? DeviceIoControl(device, code, bytes_.data(), reportLength, nullptr, 0, nullptr,
                                              &overlapped_)
                            : WriteFile(device, bytes_.data(), reportLength, nullptr, &overlapped_);
  IoResult outcome = Finish(device, started, timeoutMs);
  // A request carries no count of what it sent: the whole report went.
  if (outcome.error == ERROR_SUCCESS && code) outcome.bytes = reportLength;
  return outcome;
}

DWORD DeviceRequest::Fetch(HANDLE device, DWORD code, uint8_t reportId, uint32_t reportLength, DWORD timeoutMs,
                           std::vector<uint8_t>& out) {
  if (const DWORD error = Ready(device)) return error;
  std::fill_n(bytes_.begin(), reportLength, uint8_t{0});
  bytes_[0] = reportId;
  const BOOL started = DeviceIoControl(device, code, nullptr, 0, bytes_.data(), reportLength, nullptr, &overlapped_);
  const IoResult outcome = Finish(device, started, timeoutMs);
  if (outcome.error == ERROR_SUCCESS) out.insert(out.end(), bytes_.begin(), bytes_.begin() + reportLength);
  return outcome.error;
}

IoResult DeviceRequest::Finish(HANDLE device, BOOL started, DWORD timeoutMs) {
  // Done at once: its outcome is read as that of one that waited.
  if (!started) {
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return {error, 0};
    inFlight_ = true;
    const DWORD waited = WaitForSingleObject(event_.get(), timeoutMs);
    if (waited != WAIT_OBJECT_0) {
      const DWORD interrupted = waited == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError();
      if (!Cancel(device)) return {interrupted, 0};
      const IoResult outcome = IoOutcome(device, &overlapped_);
      // A request that ended before the cancel came went through all the same.
      return outcome.error == ERROR_OPERATION_ABORTED ? IoResult{interrupted, 0} : outcome;
    }
    inFlight_ = false;
  }
  return IoOutcome(device, &overlapped_);
}

bool DeviceRequest::Settle() { return !inFlight_ || IoFinished(overlapped_, kCancelWaitMs); }

bool DeviceRequest::Cancel(HANDLE device) {
  CancelOwnIo(device, &overlapped_);
  if (!IoFinished(overlapped_, kCancelWaitMs)) return false;
  inFlight_ = false;
  return true;
}

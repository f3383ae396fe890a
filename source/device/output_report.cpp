#include "device/output_report.h"

#include <algorithm>

#include "device/own_io.h"
#include "device/report_layout.h"

namespace {

// How long a cancelled write may take to end.
constexpr DWORD kCancelWaitMs = 250;

}  // namespace

std::unique_ptr<OutputReport> OutputReport::Make(uint32_t length) {
  std::unique_ptr<OutputReport> report(new OutputReport(length));
  report->event_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!report->event_) return nullptr;
  report->overlapped_.hEvent = report->event_.get();
  return report;
}

DWORD OutputReport::Send(HANDLE device, uint8_t reportId, const uint8_t* payload, uint32_t length, DWORD timeoutMs,
                         DWORD* written) {
  *written = 0;
  if (inFlight_ && !Cancel(device)) return ERROR_TIMEOUT;
  const auto reportLength = static_cast<uint32_t>(bytes_.size() - 1);
  LayOutReport(reportId, payload, length, bytes_.data(), reportLength);

  // Done at once: OVERLAPPED tells how much was written.
  if (WriteFile(device, bytes_.data(), reportLength, nullptr, &overlapped_)) {
    *written = static_cast<DWORD>(overlapped_.InternalHigh);
    return ERROR_SUCCESS;
  }
  const DWORD error = GetLastError();
  if (error != ERROR_IO_PENDING) return error;
  inFlight_ = true;
  const DWORD waited = WaitForSingleObject(event_.get(), timeoutMs);
  DWORD interrupted = ERROR_SUCCESS;
  if (waited != WAIT_OBJECT_0) {
    interrupted = waited == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError();
    if (!Cancel(device)) return interrupted;
  }
  inFlight_ = false;
  const DWORD outcome = IoOutcome(device, &overlapped_, written);
  // A write that ended before the cancel came went through all the same.
  return outcome == ERROR_OPERATION_ABORTED && interrupted != ERROR_SUCCESS ? interrupted : outcome;
}

bool OutputReport::Settle() { return !inFlight_ || IoFinished(overlapped_, kCancelWaitMs); }

bool OutputReport::Cancel(HANDLE device) {
  CancelOwnIo(device, &overlapped_);
  if (!IoFinished(overlapped_, kCancelWaitMs)) return false;
  inFlight_ = false;
  return true;
}

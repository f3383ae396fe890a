// One output report on its way to the device, written overlapped so that a
// device that stops taking reports cannot hold Director's thread. Its bytes
// and OVERLAPPED must stay put until Windows is done with them, which a write
// that would not be cancelled may outlast the call.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "device/scoped_resources.h"
#include "platform.h"

class OutputReport {
 public:
  // Null, with the last error set, when its event cannot be made.
  static std::unique_ptr<OutputReport> Make(uint32_t length);
  OutputReport(const OutputReport&) = delete;
  OutputReport& operator=(const OutputReport&) = delete;

  // Writes the report ID, then the payload, cut or padded with zeros to the
  // report's length. Answers ERROR_SUCCESS with the bytes written,
  // ERROR_TIMEOUT when the device took longer than `timeoutMs`
  // and the write was cancelled, or why it failed; ERROR_TIMEOUT too, writing
  // nothing, while an earlier write still would not be cancelled.
  DWORD Send(HANDLE device, uint8_t reportId, const uint8_t* payload, uint32_t length, DWORD timeoutMs,
             DWORD* written);
  // After the device's handle is closed, which ends its writes: false when a
  // write still is not over, and the report must be left to it.
  bool Settle();

 private:
  explicit OutputReport(uint32_t length) : bytes_(length + 1) {}
  // Cancels the write under way; false when it still has not ended.
  bool Cancel(HANDLE device);

  std::vector<uint8_t> bytes_;
  ScopedHandle event_;
  OVERLAPPED overlapped_{};  // hEvent: event_
  bool inFlight_ = false;
};

// The device object's requests to the device: output reports over the
// interrupt pipe, and the HID class driver's report requests over the
// control pipe (output, feature and input reports on demand). Each is sent
// overlapped with a bounded wait, so that a device that stops answering
// cannot hold Director's thread, and cancelled when the wait runs out. Its
// bytes and OVERLAPPED must stay put until Windows is done with them, which a
// request that would not be cancelled may outlast the call.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "device/own_io.h"
#include "device/scoped_resources.h"
#include "platform.h"

class DeviceRequest {
 public:
  // Room for reports up to `capacity` bytes. Its event is made with the
  // first request: an open that sends none makes none.
  static std::unique_ptr<DeviceRequest> Make(uint32_t capacity);
  DeviceRequest(const DeviceRequest&) = delete;
  DeviceRequest& operator=(const DeviceRequest&) = delete;

  // Sends report `reportId` with the payload, cut or padded with zeros to
  // `reportLength`: written to the interrupt pipe when `code` is 0, else
  // with that request (IOCTL_HID_SET_FEATURE, IOCTL_HID_SET_OUTPUT_REPORT).
  // Answers ERROR_SUCCESS with the bytes the system counts as sent,
  // ERROR_TIMEOUT when the device took longer than `timeoutMs` and the
  // request was cancelled, or why it failed; ERROR_TIMEOUT too, sending
  // nothing, while an earlier request still would not be cancelled, and
  // the system's reason when there is no event to wait with.
  IoResult Send(HANDLE device, DWORD code, uint8_t reportId, const uint8_t* payload, uint32_t length,
                uint32_t reportLength, DWORD timeoutMs);
  // Asks for report `reportId`, `reportLength` long, with `code`
  // (IOCTL_HID_GET_FEATURE, IOCTL_HID_GET_INPUT_REPORT), and appends it to
  // `out`; answers as Send does.
  DWORD Fetch(HANDLE device, DWORD code, uint8_t reportId, uint32_t reportLength, DWORD timeoutMs,
              std::vector<uint8_t>& out);
  // After the device's handle is closed, which ends its requests: false
  // when one still is not over, and its bytes must be left to it.
  bool Settle();

 private:
  explicit DeviceRequest(uint32_t capacity) : bytes_(capacity) {}
  // Waits for the request that `started` began; answers its outcome.
  IoResult Finish(HANDLE device, BOOL started, DWORD timeoutMs);
  // Cancels the request under way; false when it still has not ended.
  bool Cancel(HANDLE device);
  // ERROR_SUCCESS when the bytes are free for the next request and the
  // event is made; otherwise why no request can go.
  DWORD Ready(HANDLE device);

  std::vector<uint8_t> bytes_;
  ScopedHandle event_;
  OVERLAPPED overlapped_{};  // hEvent: event_
  bool inFlight_ = false;
};

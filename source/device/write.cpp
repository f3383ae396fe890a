// Output reports through the interrupt pipe: the report ID (0 for Write),
// then the payload, cut or padded with zeros to the device's output report
// length, written with a bounded wait.
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"
#include "diagnostics/system_message.h"

XtraResult UsbClassPC::Write(const uint8_t* bytes, uint32_t length, int32_t* sent) {
  result.SetOk();
  *sent = 0;
  if (!deviceHandle || !requests) {
    result.SetError("Device is not open", XtraResult::kNoCode);
    return result;
  }
  const IoResult written =
      requests->Send(deviceHandle.get(), 0, 0, bytes, length, caps.OutputReportByteLength, writeTimeoutMs);
  *sent = static_cast<int32_t>(written.bytes);
  const DWORD error = written.error;
  if (error == ERROR_TIMEOUT) {
    result.SetError("Write timed out", static_cast<int32_t>(error));
  } else if (error != ERROR_SUCCESS) {
    char text[XtraResult::kTextSize];
    if (!SystemMessage(error, text, sizeof text)) CopyText(text, "WriteFile Error Occured");
    result.SetError(text, static_cast<int32_t>(error));
  }
  return result;
}

XtraResult UsbClassPC::WriteReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  return SendReport(0, "write", "output", caps.OutputReportByteLength, reportId, bytes, length, sent);
}

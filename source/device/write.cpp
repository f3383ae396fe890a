// Output reports through the interrupt pipe: the report ID (0 for Write),
// then the payload, cut or padded with zeros to the device's output report
// length, written with a bounded wait.
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"
#include "diagnostics/system_message.h"

XtraResult UsbClassPC::Write(const uint8_t* bytes, uint32_t length, int32_t* sent) {
  result.SetOk();
  *sent = 0;
  if (!deviceHandle || !output) {
    result.SetError("Device is not open", XtraResult::kNoCode);
    return result;
  }
  const DWORD error = WriteOutputReport(0, bytes, length, sent);
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
  result.SetOk();
  *sent = 0;
  if (!CanTransfer(caps.OutputReportByteLength, "output")) return result;
  if (const DWORD error = WriteOutputReport(reportId, bytes, length, sent)) {
    char what[64];
    FormatText(what, sizeof what, "Could not write output report %u", static_cast<unsigned>(reportId));
    SetSystemError(result, what, error);
  }
  return result;
}

DWORD UsbClassPC::WriteOutputReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  DWORD written = 0;
  const DWORD error = output->Send(deviceHandle.get(), reportId, bytes, length, writeTimeoutMs, &written);
  *sent = static_cast<int32_t>(written);
  return error;
}

// Output reports: report ID 0, then the payload, cut or padded with zeros to
// the device's output report length, written with a bounded wait.
#include "device/system_message.h"
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"

XtraResult UsbClassPC::Write(const uint8_t* bytes, uint32_t length, int32_t* sent) {
  result.SetOk();
  *sent = 0;
  if (!deviceHandle || !output) {
    result.SetError("Device is not open", XtraResult::kNoCode);
    return result;
  }
  DWORD written = 0;
  const DWORD error = output->Send(deviceHandle, bytes, length, writeTimeoutMs, &written);
  if (error == ERROR_TIMEOUT) {
    result.SetError("Write timed out", static_cast<int32_t>(error));
  } else if (error != ERROR_SUCCESS) {
    char text[XtraResult::kTextSize];
    if (!SystemMessage(error, text, sizeof text)) CopyText(text, "WriteFile Error Occured");
    result.SetError(text, static_cast<int32_t>(error));
  }
  *sent = static_cast<int32_t>(written);
  return result;
}

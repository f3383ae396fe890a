// Output reports: report ID 0, then the payload, cut or padded with zeros to
// the device's output report length.
#include <algorithm>

#include "device/system_message.h"
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"

XtraResult UsbClassPC::Write(const uint8_t* bytes, uint32_t length, int32_t* sent) {
  result.SetOk();
  *sent = 0;
  if (!deviceHandle || writeBuffer.empty()) {
    result.SetError("Device is not open", XtraResult::kNoCode);
    return result;
  }
  std::fill(writeBuffer.begin(), writeBuffer.end(), 0);
  std::copy_n(bytes, std::min(length, outputReportLength), writeBuffer.begin() + 1);

  DWORD written = 0;
  if (!WriteFile(deviceHandle, writeBuffer.data(), outputReportLength, &written, nullptr)) {
    const DWORD error = GetLastError();
    char text[XtraResult::kTextSize];
    if (!SystemMessage(error, text, sizeof text)) CopyText(text, "WriteFile Error Occured");
    result.SetError(text, static_cast<int32_t>(error));
  }
  *sent = static_cast<int32_t>(written);
  return result;
}

// Output reports through the interrupt pipe: the report ID, then the
// payload, cut or padded with zeros to the device's output report length.
#include "device/report_layout.h"
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
  if (const DWORD error = WriteOutputReport(0, bytes, length, sent)) {
    char text[XtraResult::kTextSize];
    if (!SystemMessage(error, text, sizeof text)) CopyText(text, "WriteFile Error Occured");
    result.SetError(text, static_cast<int32_t>(error));
  }
  return result;
}

XtraResult UsbClassPC::WriteReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  result.SetOk();
  *sent = 0;
  if (!CanTransfer(outputReportLength, "output")) return result;
  if (const DWORD error = WriteOutputReport(reportId, bytes, length, sent)) {
    char what[64];
    FormatText(what, sizeof what, "Could not write output report %u", static_cast<unsigned>(reportId));
    SetSystemError(result, what, error);
  }
  return result;
}

DWORD UsbClassPC::WriteOutputReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  LayOutReport(reportId, bytes, length, writeBuffer.data(), outputReportLength);
  DWORD written = 0;
  const DWORD error = WriteFile(deviceHandle, writeBuffer.data(), outputReportLength, &written, nullptr)
                          ? ERROR_SUCCESS
                          : GetLastError();
  *sent = static_cast<int32_t>(written);
  return error;
}

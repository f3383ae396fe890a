// Reports over the control pipe, and feature reports: what a device without
// an interrupt OUT endpoint takes, what it tells on demand, and its settings.
// Sent as the HID class driver's requests, which HidD_SetFeature and its
// siblings send too, but overlapped: they wait no longer than a write.
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"
#include "diagnostics/system_message.h"

XtraResult UsbClassPC::SendOutputReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  return SendReport(IOCTL_HID_SET_OUTPUT_REPORT, "send", "output", caps.OutputReportByteLength, reportId, bytes,
                    length, sent);
}

XtraResult UsbClassPC::SetFeatureReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  return SendReport(IOCTL_HID_SET_FEATURE, "set", "feature", caps.FeatureReportByteLength, reportId, bytes, length, sent);
}

XtraResult UsbClassPC::GetFeatureReport(uint8_t reportId, ByteList& out) {
  return FetchReport(IOCTL_HID_GET_FEATURE, "feature", caps.FeatureReportByteLength, reportId, out);
}

XtraResult UsbClassPC::GetInputReport(uint8_t reportId, ByteList& out) {
  return FetchReport(IOCTL_HID_GET_INPUT_REPORT, "input", caps.InputReportByteLength, reportId, out);
}

bool UsbClassPC::CanTransfer(uint32_t reportLength, const char* kind) {
  if (!deviceHandle || !requests) {
    result.SetError("Device is not open", XtraResult::kNoCode);
    return false;
  }
  if (reportLength == 0) {
    char message[64];
    FormatText(message, sizeof message, "This device has no %s reports", kind);
    result.SetError(message, XtraResult::kNoCode);
    return false;
  }
  return true;
}

XtraResult UsbClassPC::SendReport(DWORD code, const char* verb, const char* kind, uint32_t reportLength,
                                  uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  result.SetOk();
  *sent = 0;
  if (!CanTransfer(reportLength, kind)) return result;
  const IoResult moved = requests->Send(deviceHandle.get(), code, reportId, bytes, length, reportLength, writeTimeoutMs);
  if (moved.error != ERROR_SUCCESS) {
    char what[64];
    FormatText(what, sizeof what, "Could not %s %s report %u", verb, kind, static_cast<unsigned>(reportId));
    SetSystemError(result, what, moved.error);
  }
  *sent = static_cast<int32_t>(moved.bytes);
  return result;
}

XtraResult UsbClassPC::FetchReport(DWORD code, const char* kind, uint32_t reportLength, uint8_t reportId,
                                   ByteList& out) {
  result.SetOk();
  if (!CanTransfer(reportLength, kind)) return result;
  if (const DWORD error = requests->Fetch(deviceHandle.get(), code, reportId, reportLength, writeTimeoutMs, out)) {
    char what[64];
    FormatText(what, sizeof what, "Could not read %s report %u", kind, static_cast<unsigned>(reportId));
    SetSystemError(result, what, error);
  }
  return result;
}

// Reports over the control pipe, and feature reports: what a device without
// an interrupt OUT endpoint takes, what it tells on demand, and its settings.
#include "device/report_layout.h"
#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"
#include "diagnostics/system_message.h"

XtraResult UsbClassPC::SendOutputReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  return SendReport(HidD_SetOutputReport, "send", "output", caps.OutputReportByteLength, reportId, bytes, length,
                    sent);
}

XtraResult UsbClassPC::SetFeatureReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  return SendReport(HidD_SetFeature, "set", "feature", caps.FeatureReportByteLength, reportId, bytes, length, sent);
}

XtraResult UsbClassPC::GetFeatureReport(uint8_t reportId, ByteList& out) {
  return FetchReport(HidD_GetFeature, "feature", caps.FeatureReportByteLength, reportId, out);
}

XtraResult UsbClassPC::GetInputReport(uint8_t reportId, ByteList& out) {
  return FetchReport(HidD_GetInputReport, "input", caps.InputReportByteLength, reportId, out);
}

bool UsbClassPC::CanTransfer(uint32_t reportLength, const char* kind) {
  if (!deviceHandle || !output) {
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

XtraResult UsbClassPC::SendReport(ReportFunction send, const char* verb, const char* kind, uint32_t reportLength,
                                  uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) {
  result.SetOk();
  *sent = 0;
  if (!CanTransfer(reportLength, kind)) return result;
  ByteList report(reportLength);
  LayOutReport(reportId, bytes, length, report.data(), reportLength);
  if (send(deviceHandle.get(), report.data(), reportLength)) {
    *sent = static_cast<int32_t>(reportLength);
  } else {
    const DWORD error = GetLastError();
    char what[64];
    FormatText(what, sizeof what, "Could not %s %s report %u", verb, kind, static_cast<unsigned>(reportId));
    SetSystemError(result, what, error);
  }
  return result;
}

XtraResult UsbClassPC::FetchReport(ReportFunction get, const char* kind, uint32_t reportLength, uint8_t reportId,
                                   ByteList& out) {
  result.SetOk();
  if (!CanTransfer(reportLength, kind)) return result;
  ByteList report(reportLength);
  report[0] = reportId;
  if (get(deviceHandle.get(), report.data(), reportLength)) {
    out.insert(out.end(), report.begin(), report.end());
  } else {
    const DWORD error = GetLastError();
    char what[64];
    FormatText(what, sizeof what, "Could not read %s report %u", kind, static_cast<unsigned>(reportId));
    SetSystemError(result, what, error);
  }
  return result;
}

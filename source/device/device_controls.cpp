// The open collection's controls by name: the preparsed data Windows keeps
// for it, read once per open, and the control table made from it.
#include <new>

#include "controls/report_decoder.h"
#include "controls/report_encoder.h"
#include "device/usb_class_pc.h"
#include "diagnostics/system_message.h"

XtraResult UsbClassPC::LoadControls() {
  result.SetOk();
  if (!deviceHandle) {
    result.SetError("Device is not open", XtraResult::kNoCode);
    return result;
  }
  if (controlTable) return result;
  if (!HidD_GetPreparsedData(deviceHandle.get(), preparsed.receive())) {
    SetSystemError(result, "Could not read the device's controls", GetLastError());
    return result;
  }
  std::unique_ptr<ControlTable> table(new (std::nothrow) ControlTable);
  if (!table) {
    result.SetError("Out of memory", XtraResult::kNoCode);
    return result;
  }
  result.CopyOutcome(table->Read(preparsed.get()));
  if (!result.isError) controlTable = std::move(table);
  return result;
}

XtraResult UsbClassPC::ListControls(ControlKind kind, std::vector<Control>& out) {
  if (LoadControls().isError) return result;
  const std::vector<Control>& controls = controlTable->Of(kind);
  out.insert(out.end(), controls.begin(), controls.end());
  return result;
}

XtraResult UsbClassPC::DecodeReport(ControlKind kind, const uint8_t* bytes, uint32_t length, DecodedReport& out) {
  if (LoadControls().isError) return result;
  result.CopyOutcome(::DecodeReport(preparsed.get(), *controlTable, kind, bytes, length, out));
  return result;
}

XtraResult UsbClassPC::ComposeOutputReport(const std::vector<NamedValue>& values, std::vector<uint8_t>& report) {
  if (LoadControls().isError) return result;
  ReportEncoder encoder(preparsed.get(), *controlTable, ControlKind::Output);
  XtraResult composed = encoder.Resolve(values);
  if (!composed.isError) composed = encoder.Blank(report);
  if (!composed.isError) composed = encoder.Apply(report);
  result.CopyOutcome(composed);
  return result;
}

XtraResult UsbClassPC::SetFeatureUsages(const std::vector<NamedValue>& values) {
  if (LoadControls().isError) return result;
  ReportEncoder encoder(preparsed.get(), *controlTable, ControlKind::Feature);
  const XtraResult resolved = encoder.Resolve(values);
  if (resolved.isError) {
    result.CopyOutcome(resolved);
    return result;
  }
  ByteList current;
  if (GetFeatureReport(encoder.ReportId(), current).isError) return result;
  std::vector<uint8_t> report(current.begin(), current.end());
  report.resize(controlTable->ReportLength(ControlKind::Feature));
  const XtraResult changed = encoder.Apply(report);
  if (changed.isError) {
    result.CopyOutcome(changed);
    return result;
  }
  int32_t sent = 0;
  return SetFeatureReport(report[0], report.data() + 1, static_cast<uint32_t>(report.size() - 1), &sent);
}

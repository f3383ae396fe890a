// hid.dll's functions that read and write a report's controls by usage,
// from the preparsed data of a collection made from a report descriptor.
#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "faults.h"
#include "ntstatus.h"
#include "preparsed_data.h"
#include "report_bits.h"
#include "report_controls.h"
#include "standin/hid.h"

using namespace standin::detail;

namespace {

bool IsReportType(HIDP_REPORT_TYPE type) { return type == HidP_Input || type == HidP_Output || type == HidP_Feature; }

// With the kernel locked: what every data function checks first, in the
// order hid.dll checks it. On success `reports` is the kind's and `report`
// the caller's buffer.
class ReportCall {
 public:
  ReportCall(PHIDP_PREPARSED_DATA preparsed, HIDP_REPORT_TYPE type, PCHAR report, ULONG length) {
    keep_ = Find<PreparsedCaps>(preparsed);
    if (!keep_) {
      status_ = HIDP_STATUS_INVALID_PREPARSED_DATA;
    } else if (!keep_->parsed) {
      status_ = HIDP_STATUS_NOT_IMPLEMENTED;
    } else if (!IsReportType(type)) {
      status_ = HIDP_STATUS_INVALID_REPORT_TYPE;
    } else if (!report || length == 0 || length != keep_->parsed->Of(type).byteLength) {
      status_ = HIDP_STATUS_INVALID_REPORT_LENGTH;
    } else {
      reports_ = &keep_->parsed->Of(type);
      report_ = {reinterpret_cast<std::uint8_t*>(report), length};
    }
  }
  bool Ok() const { return reports_ != nullptr; }
  NTSTATUS Status() const { return status_; }
  const ParsedReports& Reports() const { return *reports_; }
  ReportBuffer& Report() { return report_; }
  bool DeclaresId(std::uint8_t id) const {
    return reports_->reportIds.empty() ? id == 0
                                       : std::find(reports_->reportIds.begin(), reports_->reportIds.end(), id) !=
                                             reports_->reportIds.end();
  }

 private:
  std::shared_ptr<PreparsedCaps> keep_;
  const ParsedReports* reports_ = nullptr;
  ReportBuffer report_{nullptr, 0};
  NTSTATUS status_ = HIDP_STATUS_SUCCESS;
};

NTSTATUS NotFound(const FoundCap& found) {
  return found.elsewhere ? HIDP_STATUS_INCOMPATIBLE_REPORT_ID : HIDP_STATUS_USAGE_NOT_FOUND;
}

// The usages a report holds on, capability by capability; an array field is
// read once, at the first of its capabilities.
std::vector<USAGE_AND_PAGE> UsagesOn(const ParsedReports& reports, USHORT linkCollection, const ReportBuffer& report,
                                     bool* anyInReport, bool* anyElsewhere) {
  std::vector<USAGE_AND_PAGE> on;
  std::set<std::uint32_t> arraysRead;
  for (const ParsedCap& cap : reports.caps) {
    if (!cap.isButton || (linkCollection != 0 && cap.linkCollection != linkCollection)) continue;
    if (cap.reportId != report.Id()) {
      *anyElsewhere = true;
      continue;
    }
    *anyInReport = true;
    if (IsVariable(cap)) {
      for (std::uint32_t field = 0; field < cap.reportCount; ++field) {
        if (!ReadBits(report.bytes, report.length, cap.bitOffset + field * cap.bitSize, 1)) continue;
        const auto usage = static_cast<USAGE>(std::min<std::uint32_t>(cap.usage.min + field, cap.usage.max));
        on.push_back({usage, cap.usage.page});
      }
      continue;
    }
    if (!arraysRead.insert(cap.bitOffset).second) continue;
    const ArrayItem array(reports, cap);
    for (std::uint32_t field = 0; field < cap.reportCount; ++field) {
      const auto usage = array.UsageOf(ReadBits(report.bytes, report.length, array.FieldBits(field), cap.bitSize));
      if (usage) on.push_back({usage->min, usage->page});
    }
  }
  return on;
}

enum class ButtonChange { Set, Unset };

NTSTATUS ChangeButton(const ParsedReports& reports, const ParsedCap& cap, USAGE usage, ReportBuffer& report,
                      ButtonChange change) {
  if (IsVariable(cap)) {
    const auto offset = FieldOffset(cap, usage);
    if (!offset) return HIDP_STATUS_USAGE_NOT_FOUND;
    WriteBits(report.bytes, report.length, *offset, 1, change == ButtonChange::Set ? 1 : 0);
    return HIDP_STATUS_SUCCESS;
  }
  const ArrayItem array(reports, cap);
  const auto value = array.ValueOf(cap.usage.page, usage);
  if (!value) return HIDP_STATUS_USAGE_NOT_FOUND;
  std::optional<std::uint32_t> empty;
  for (std::uint32_t field = 0; field < cap.reportCount; ++field) {
    const std::uint32_t bits = array.FieldBits(field);
    const std::uint32_t held = ReadBits(report.bytes, report.length, bits, cap.bitSize);
    if (held == *value) {
      if (change == ButtonChange::Unset) WriteBits(report.bytes, report.length, bits, cap.bitSize, array.EmptyValue());
      return HIDP_STATUS_SUCCESS;
    }
    if (!empty && !array.UsageOf(held)) empty = bits;
  }
  if (change == ButtonChange::Unset) return HIDP_STATUS_BUTTON_NOT_PRESSED;
  if (!empty) return HIDP_STATUS_BUFFER_TOO_SMALL;
  WriteBits(report.bytes, report.length, *empty, cap.bitSize, *value);
  return HIDP_STATUS_SUCCESS;
}

NTSTATUS ChangeButtons(const FaultPoint& fault, HIDP_REPORT_TYPE type, USAGE page, USHORT linkCollection, PUSAGE usages,
                       PULONG length, PHIDP_PREPARSED_DATA preparsed, PCHAR report, ULONG reportLength,
                       ButtonChange change) {
  if (auto code = fault.Take()) return static_cast<NTSTATUS>(*code);
  auto lock = LockKernel();
  ReportCall call(preparsed, type, report, reportLength);
  if (!call.Ok()) return call.Status();
  if (!length || (*length && !usages)) return STATUS_INVALID_PARAMETER;
  if (!call.DeclaresId(call.Report().Id())) return HIDP_STATUS_REPORT_DOES_NOT_EXIST;
  for (ULONG i = 0; i < *length; ++i) {
    const FoundCap found = FindCap(call.Reports(), {page, linkCollection, usages[i], true}, call.Report().Id());
    const NTSTATUS status = found.cap ? ChangeButton(call.Reports(), *found.cap, usages[i], call.Report(), change)
                                      : NotFound(found);
    if (status != HIDP_STATUS_SUCCESS) {
      *length = i;
      return status;
    }
  }
  return HIDP_STATUS_SUCCESS;
}

// The single value the usage names in a report, as a field's place.
NTSTATUS FindValueField(ReportCall& call, USAGE page, USHORT linkCollection, USAGE usage, const ParsedCap** cap,
                        std::uint32_t* offset) {
  const FoundCap found = FindCap(call.Reports(), {page, linkCollection, usage, false}, call.Report().Id());
  if (!found.cap) return NotFound(found);
  if (!found.cap->usage.isRange && found.cap->reportCount > 1) return HIDP_STATUS_IS_VALUE_ARRAY;
  const auto field = FieldOffset(*found.cap, usage);
  if (!field) return HIDP_STATUS_USAGE_NOT_FOUND;
  *cap = found.cap;
  *offset = *field;
  return HIDP_STATUS_SUCCESS;
}

}  // namespace

const FaultPoint kHidPGetUsagesExFault{"HidP_GetUsagesEx"};

extern "C" NTSTATUS WINAPI HidP_GetUsagesEx(HIDP_REPORT_TYPE ReportType, USHORT LinkCollection,
                                            PUSAGE_AND_PAGE ButtonList, ULONG* UsageLength,
                                            PHIDP_PREPARSED_DATA PreparsedData, PCHAR Report, ULONG ReportLength) {
  if (auto fault = kHidPGetUsagesExFault.Take()) return static_cast<NTSTATUS>(*fault);
  auto lock = LockKernel();
  ReportCall call(PreparsedData, ReportType, Report, ReportLength);
  if (!call.Ok()) return call.Status();
  if (!UsageLength) return STATUS_INVALID_PARAMETER;
  bool inReport = false;
  bool elsewhere = false;
  const std::vector<USAGE_AND_PAGE> on = UsagesOn(call.Reports(), LinkCollection, call.Report(), &inReport, &elsewhere);
  const ULONG room = ButtonList ? *UsageLength : 0;
  *UsageLength = static_cast<ULONG>(on.size());
  if (!inReport) return elsewhere ? HIDP_STATUS_INCOMPATIBLE_REPORT_ID : HIDP_STATUS_USAGE_NOT_FOUND;
  std::copy_n(on.begin(), std::min<std::size_t>(room, on.size()), ButtonList);
  return on.size() > room ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

extern "C" ULONG WINAPI HidP_MaxUsageListLength(HIDP_REPORT_TYPE ReportType, USAGE UsagePage,
                                                PHIDP_PREPARSED_DATA PreparsedData) {
  auto lock = LockKernel();
  auto data = Find<PreparsedCaps>(PreparsedData);
  if (!data || !data->parsed || !IsReportType(ReportType)) return 0;
  ULONG most = 0;
  std::set<std::pair<UCHAR, std::uint32_t>> arraysCounted;
  for (const ParsedCap& cap : data->parsed->Of(ReportType).caps) {
    if (!cap.isButton || (UsagePage != 0 && cap.usage.page != UsagePage)) continue;
    // An array's capabilities share its fields: each field holds one usage.
    if (IsVariable(cap) || arraysCounted.insert({cap.reportId, cap.bitOffset}).second) most += cap.reportCount;
  }
  return most;
}

const FaultPoint kHidPGetUsageValueFault{"HidP_GetUsageValue"};

extern "C" NTSTATUS WINAPI HidP_GetUsageValue(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection,
                                              USAGE Usage, PULONG UsageValue, PHIDP_PREPARSED_DATA PreparsedData,
                                              PCHAR Report, ULONG ReportLength) {
  if (auto fault = kHidPGetUsageValueFault.Take()) return static_cast<NTSTATUS>(*fault);
  auto lock = LockKernel();
  ReportCall call(PreparsedData, ReportType, Report, ReportLength);
  if (!call.Ok()) return call.Status();
  if (!UsageValue) return STATUS_INVALID_PARAMETER;
  const ParsedCap* cap = nullptr;
  std::uint32_t offset = 0;
  const NTSTATUS status = FindValueField(call, UsagePage, LinkCollection, Usage, &cap, &offset);
  if (status != HIDP_STATUS_SUCCESS) return status;
  *UsageValue = ReadBits(call.Report().bytes, call.Report().length, offset, cap->bitSize);
  return HIDP_STATUS_SUCCESS;
}

const FaultPoint kHidPGetUsageValueArrayFault{"HidP_GetUsageValueArray"};

extern "C" NTSTATUS WINAPI HidP_GetUsageValueArray(HIDP_REPORT_TYPE ReportType, USAGE UsagePage,
                                                   USHORT LinkCollection, USAGE Usage, PCHAR UsageValue,
                                                   USHORT UsageValueByteLength, PHIDP_PREPARSED_DATA PreparsedData,
                                                   PCHAR Report, ULONG ReportLength) {
  if (auto fault = kHidPGetUsageValueArrayFault.Take()) return static_cast<NTSTATUS>(*fault);
  auto lock = LockKernel();
  ReportCall call(PreparsedData, ReportType, Report, ReportLength);
  if (!call.Ok()) return call.Status();
  const FoundCap found = FindCap(call.Reports(), {UsagePage, LinkCollection, Usage, false}, call.Report().Id());
  if (!found.cap) return NotFound(found);
  const ParsedCap& cap = *found.cap;
  if (cap.usage.isRange || cap.reportCount < 2) return HIDP_STATUS_NOT_VALUE_ARRAY;
  const std::uint32_t bits = std::uint32_t{cap.bitSize} * cap.reportCount;
  if (!UsageValue || UsageValueByteLength < (bits + 7) / 8) return HIDP_STATUS_BUFFER_TOO_SMALL;
  auto* out = reinterpret_cast<std::uint8_t*>(UsageValue);
  std::fill_n(out, (bits + 7) / 8, std::uint8_t{0});
  for (std::uint32_t bit = 0; bit < bits; bit += 8) {
    const std::uint32_t width = std::min<std::uint32_t>(8, bits - bit);
    out[bit / 8] =
        static_cast<std::uint8_t>(ReadBits(call.Report().bytes, call.Report().length, cap.bitOffset + bit, width));
  }
  return HIDP_STATUS_SUCCESS;
}

const FaultPoint kHidPSetUsageValueFault{"HidP_SetUsageValue"};

extern "C" NTSTATUS WINAPI HidP_SetUsageValue(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection,
                                              USAGE Usage, ULONG UsageValue, PHIDP_PREPARSED_DATA PreparsedData,
                                              PCHAR Report, ULONG ReportLength) {
  if (auto fault = kHidPSetUsageValueFault.Take()) return static_cast<NTSTATUS>(*fault);
  auto lock = LockKernel();
  ReportCall call(PreparsedData, ReportType, Report, ReportLength);
  if (!call.Ok()) return call.Status();
  if (!call.DeclaresId(call.Report().Id())) return HIDP_STATUS_REPORT_DOES_NOT_EXIST;
  const ParsedCap* cap = nullptr;
  std::uint32_t offset = 0;
  const NTSTATUS status = FindValueField(call, UsagePage, LinkCollection, Usage, &cap, &offset);
  if (status != HIDP_STATUS_SUCCESS) return status;
  WriteBits(call.Report().bytes, call.Report().length, offset, cap->bitSize, UsageValue);
  return HIDP_STATUS_SUCCESS;
}

const FaultPoint kHidPSetUsagesFault{"HidP_SetUsages"};

extern "C" NTSTATUS WINAPI HidP_SetUsages(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection,
                                          PUSAGE UsageList, PULONG UsageLength, PHIDP_PREPARSED_DATA PreparsedData,
                                          PCHAR Report, ULONG ReportLength) {
  return ChangeButtons(kHidPSetUsagesFault, ReportType, UsagePage, LinkCollection, UsageList, UsageLength, PreparsedData,
                       Report, ReportLength, ButtonChange::Set);
}

const FaultPoint kHidPUnsetUsagesFault{"HidP_UnsetUsages"};

extern "C" NTSTATUS WINAPI HidP_UnsetUsages(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection,
                                            PUSAGE UsageList, PULONG UsageLength, PHIDP_PREPARSED_DATA PreparsedData,
                                            PCHAR Report, ULONG ReportLength) {
  return ChangeButtons(kHidPUnsetUsagesFault, ReportType, UsagePage, LinkCollection, UsageList, UsageLength,
                       PreparsedData, Report, ReportLength, ButtonChange::Unset);
}

const FaultPoint kHidPInitializeReportForIDFault{"HidP_InitializeReportForID"};

extern "C" NTSTATUS WINAPI HidP_InitializeReportForID(HIDP_REPORT_TYPE ReportType, UCHAR ReportID,
                                                      PHIDP_PREPARSED_DATA PreparsedData, PCHAR Report,
                                                      ULONG ReportLength) {
  if (auto fault = kHidPInitializeReportForIDFault.Take()) return static_cast<NTSTATUS>(*fault);
  auto lock = LockKernel();
  ReportCall call(PreparsedData, ReportType, Report, ReportLength);
  if (!call.Ok()) return call.Status();
  if (!call.DeclaresId(ReportID)) return HIDP_STATUS_REPORT_DOES_NOT_EXIST;
  ReportBuffer& report = call.Report();
  std::fill_n(report.bytes, report.length, std::uint8_t{0});
  report.bytes[0] = ReportID;
  for (const ParsedCap& cap : call.Reports().caps) {
    if (cap.reportId != ReportID) continue;
    const bool array = cap.isButton && !IsVariable(cap);
    if (!array && (cap.isButton || !cap.HasNull())) continue;
    const std::uint32_t empty = array ? ArrayItem(call.Reports(), cap).EmptyValue() : NullValue(cap);
    for (std::uint32_t field = 0; field < cap.reportCount; ++field)
      WriteBits(report.bytes, report.length, cap.bitOffset + field * cap.bitSize, cap.bitSize, empty);
  }
  return HIDP_STATUS_SUCCESS;
}

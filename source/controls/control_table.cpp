#include "controls/control_table.h"

#include <algorithm>
#include <map>
#include <utility>

#include "controls/control_probe.h"
#include "controls/hid_status.h"
#include "controls/usage_names.h"

namespace {

constexpr uint32_t kUnplaced = UINT32_MAX;

bool IsVariable(USHORT bitField) { return (bitField & 0x02) != 0; }

Control BasicControl(ControlKind kind, ControlType type, UCHAR reportId, USAGE page, USAGE usage, USHORT link,
                     USHORT dataIndex) {
  Control control{};
  control.kind = kind;
  control.type = type;
  control.reportId = reportId;
  control.usagePage = page;
  control.usage = usage;
  control.usageMax = usage;
  control.collection = link;
  control.dataIndex = dataIndex;
  control.reachable = true;
  control.bitOffset = kUnplaced;
  control.count = 1;
  return control;
}

// Placing a control takes Windows a pass over its report, so a range of
// tens of thousands of usages, which a descriptor may declare but no device
// has controls for, held Director for minutes. Real ranges (a keyboard's
// keys, a board's buttons) stay far below this.
constexpr uint32_t kMostUsagesOfARange = 1024;

// A range is one control per usage, up to `fields` and kMostUsagesOfARange.
template <class Caps, class Make>
void ForEachUsage(const Caps& cap, uint32_t fields, Make make) {
  if (!cap.IsRange) return make(cap.NotRange.Usage, cap.NotRange.DataIndex);
  const uint32_t usages =
      std::min({cap.Range.UsageMax - cap.Range.UsageMin + 1u, fields, kMostUsagesOfARange});
  for (uint32_t i = 0; i < usages; ++i)
    make(static_cast<USAGE>(cap.Range.UsageMin + i), static_cast<USHORT>(cap.Range.DataIndexMin + i));
}

UsageSpan SpanOf(const HIDP_BUTTON_CAPS& cap) {
  return cap.IsRange ? UsageSpan{cap.UsagePage, cap.Range.UsageMin, cap.Range.UsageMax}
                     : UsageSpan{cap.UsagePage, cap.NotRange.Usage, cap.NotRange.Usage};
}

USHORT FirstDataIndex(const HIDP_BUTTON_CAPS& cap) {
  return cap.IsRange ? cap.Range.DataIndexMin : cap.NotRange.DataIndex;
}

template <class Caps, class Read>
std::vector<Caps> ReadCaps(Read read, HIDP_REPORT_TYPE type, USHORT count, PHIDP_PREPARSED_DATA preparsed,
                           NTSTATUS* status) {
  std::vector<Caps> caps(count);
  USHORT length = count;
  *status = count ? read(type, caps.data(), &length, preparsed) : HIDP_STATUS_SUCCESS;
  if (*status == HIDP_STATUS_USAGE_NOT_FOUND) *status = HIDP_STATUS_SUCCESS;
  caps.resize(*status == HIDP_STATUS_SUCCESS ? length : 0);
  return caps;
}

// Windows finds the first capability of a report that holds a usage in the
// link collection asked for, and link collection 0 asks for any: a later
// control of the same usage in the same link collection, or in the
// top-level collection itself after one in another, is out of reach,
// whatever its name.
void MarkUnreachable(std::vector<Control>& controls) {
  for (size_t i = 0; i < controls.size(); ++i)
    for (size_t j = 0; j < i; ++j) {
      const Control& a = controls[j];
      Control& b = controls[i];
      const bool sameSearch = (a.type == ControlType::Value) == (b.type == ControlType::Value);
      if (sameSearch && a.reportId == b.reportId && a.usagePage == b.usagePage && a.usage == b.usage &&
          (a.collection == b.collection || b.collection == 0) && b.type != ControlType::Array)
        b.reachable = false;
    }
}

// Names are unique within a report: a name met again takes _2, _3...
void NameControls(std::vector<Control>& controls) {
  std::map<std::pair<uint8_t, std::string>, int> seen;
  for (Control& control : controls) {
    const std::string base = control.type == ControlType::Array ? PageName(control.usagePage)
                                                                  : UsageName(control.usagePage, control.usage);
    const int times = ++seen[{control.reportId, base}];
    control.name = times == 1 ? base : base + "_" + std::to_string(times);
  }
}

}  // namespace

HIDP_REPORT_TYPE ControlTable::ReportType(ControlKind kind) {
  switch (kind) {
    case ControlKind::Output: return HidP_Output;
    case ControlKind::Feature: return HidP_Feature;
    case ControlKind::Input: break;
  }
  return HidP_Input;
}

bool ControlTable::HasReport(ControlKind kind, uint8_t reportId) const {
  const std::vector<uint8_t>& ids = kinds_[Index(kind)].reportIds;
  return std::find(ids.begin(), ids.end(), reportId) != ids.end();
}

XtraResult ControlTable::Read(PHIDP_PREPARSED_DATA preparsed) {
  for (ControlKind kind : {ControlKind::Input, ControlKind::Output, ControlKind::Feature}) {
    const XtraResult read = ReadKind(preparsed, kind, kinds_[Index(kind)]);
    if (read.isError) return read;
  }
  return Success();
}

XtraResult ControlTable::ReadKind(PHIDP_PREPARSED_DATA preparsed, ControlKind kind, Kind& out) {
  HIDP_CAPS caps{};
  NTSTATUS status = HidP_GetCaps(preparsed, &caps);
  if (status != HIDP_STATUS_SUCCESS) return Refusal("Could not read the device's controls: " + HidStatusName(status));
  const HIDP_REPORT_TYPE type = ReportType(kind);
  const USHORT lengths[] = {caps.InputReportByteLength, caps.OutputReportByteLength, caps.FeatureReportByteLength};
  const USHORT buttonCounts[] = {caps.NumberInputButtonCaps, caps.NumberOutputButtonCaps,
                                 caps.NumberFeatureButtonCaps};
  const USHORT valueCounts[] = {caps.NumberInputValueCaps, caps.NumberOutputValueCaps, caps.NumberFeatureValueCaps};
  out = Kind{};
  out.reportLength = lengths[Index(kind)];
  if (out.reportLength == 0) return Success();
  const auto buttons = ReadCaps<HIDP_BUTTON_CAPS>(HidP_GetButtonCaps, type, buttonCounts[Index(kind)], preparsed,
                                                  &status);
  if (status != HIDP_STATUS_SUCCESS) return Refusal("Could not read the device's buttons: " + HidStatusName(status));
  const auto values = ReadCaps<HIDP_VALUE_CAPS>(HidP_GetValueCaps, type, valueCounts[Index(kind)], preparsed,
                                                &status);
  if (status != HIDP_STATUS_SUCCESS) return Refusal("Could not read the device's values: " + HidStatusName(status));

  ControlProbe probe(preparsed, type, out.reportLength);
  std::vector<Control>& controls = out.controls;
  for (const HIDP_BUTTON_CAPS& cap : buttons) {
    // Windows XP's button capabilities do not count their fields. Windows
    // gives a range only the usages its fields hold and cannot write the
    // others; Wine 8 keeps the range whole and writes a usage beyond the
    // fields where the range would put it, past the report too. No field
    // holds more buttons than its page may have on at once.
    if (IsVariable(cap.BitField)) {
      ForEachUsage(cap, HidP_MaxUsageListLength(type, cap.UsagePage, preparsed), [&](USAGE usage, USHORT dataIndex) {
        Control control = BasicControl(kind, ControlType::Button, cap.ReportID, cap.UsagePage, usage,
                                       cap.LinkCollection, dataIndex);
        control.logicalMax = 1;
        control.bits = 1;
        control.bitOffset = probe.Button(control);
        if (control.bitOffset != kUnplaced) controls.push_back(std::move(control));
      });
      continue;
    }
    // The capabilities of one array field share its fields, so Windows
    // writes each of their usages at the same place.
    Control array = BasicControl(kind, ControlType::Array, cap.ReportID, cap.UsagePage, SpanOf(cap).min,
                                 cap.LinkCollection, FirstDataIndex(cap));
    array.arrayUsages.push_back(SpanOf(cap));
    array.bitOffset = probe.Array(array);
    const auto same = std::find_if(controls.begin(), controls.end(), [&](const Control& other) {
      return other.type == ControlType::Array && other.reportId == array.reportId &&
             other.bitOffset == array.bitOffset && array.bitOffset != kUnplaced;
    });
    if (same == controls.end()) {
      controls.push_back(std::move(array));
      continue;
    }
    same->arrayUsages.push_back(SpanOf(cap));
    same->dataIndex = std::min(same->dataIndex, array.dataIndex);
  }
  for (Control& array : controls) {
    if (array.type != ControlType::Array) continue;
    // Windows lists an array's usages last declared first; its data indices
    // keep the order declared, and so does the list.
    std::reverse(array.arrayUsages.begin(), array.arrayUsages.end());
    array.usagePage = array.arrayUsages.front().page;
    array.usage = array.arrayUsages.front().min;
    array.usageMax = array.arrayUsages.front().max;
    array.count = probe.ArraySlots(array);
  }
  for (const HIDP_VALUE_CAPS& cap : values) {
    ForEachUsage(cap, cap.ReportCount, [&](USAGE usage, USHORT dataIndex) {
      Control control =
          BasicControl(kind, ControlType::Value, cap.ReportID, cap.UsagePage, usage, cap.LinkCollection, dataIndex);
      control.logicalMin = cap.LogicalMin;
      control.logicalMax = cap.LogicalMax;
      control.bits = cap.BitSize;
      control.count = cap.IsRange ? 1 : cap.ReportCount;
      control.hasNull = cap.HasNull != 0;
      control.bitOffset = probe.Value(control);
      controls.push_back(std::move(control));
    });
  }
  MarkUnreachable(controls);
  std::stable_sort(controls.begin(), controls.end(), [](const Control& a, const Control& b) {
    return std::tie(a.reportId, a.bitOffset, a.dataIndex) < std::tie(b.reportId, b.bitOffset, b.dataIndex);
  });
  NameControls(controls);
  for (const Control& control : controls)
    if (std::find(out.reportIds.begin(), out.reportIds.end(), control.reportId) == out.reportIds.end())
      out.reportIds.push_back(control.reportId);
  out.maxUsagesOn = HidP_MaxUsageListLength(type, 0, preparsed);
  return Success();
}

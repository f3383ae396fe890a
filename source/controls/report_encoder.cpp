#include "controls/report_encoder.h"

#include <algorithm>

#include "controls/hid_status.h"
#include "controls/usage_names.h"

namespace {

std::vector<const Control*> ControlsNamed(const std::vector<Control>& controls, const std::string& name) {
  std::vector<const Control*> named;
  for (const Control& control : controls)
    if (SameName(control.name, name)) named.push_back(&control);
  return named;
}

XtraResult WrotePast() { return Refusal("Windows wrote past the report while composing it"); }

std::string Range(const Control& control) {
  return std::to_string(control.logicalMin) + " to " + std::to_string(control.logicalMax);
}

bool FindArrayUsage(const Control& array, const std::string& name, USAGE_AND_PAGE& found) {
  for (const UsageSpan& span : array.arrayUsages)
    for (uint32_t usage = span.min; usage <= span.max; ++usage)
      if (SameName(UsageName(span.page, static_cast<uint16_t>(usage)), name)) {
        found = {static_cast<USAGE>(usage), span.page};
        return true;
      }
  return false;
}

}  // namespace

XtraResult ReportEncoder::Resolve(const std::vector<NamedValue>& values) {
  if (values.empty()) return Refusal("Name at least one control, such as [#Button1: 1]");
  const std::vector<Control>& controls = table_.Of(kind_);
  std::vector<std::vector<const Control*>> candidates;
  for (const NamedValue& value : values) {
    candidates.push_back(ControlsNamed(controls, value.name));
    if (candidates.back().empty())
      return Refusal("#" + value.name + " is no " + KindName(kind_) + " control of this device");
  }
  // The first report, in the order of the first name's, that holds them all.
  for (const Control* first : candidates.front()) {
    assignments_.clear();
    for (size_t i = 0; i < values.size(); ++i) {
      const auto inReport = std::find_if(candidates[i].begin(), candidates[i].end(),
                                         [&](const Control* control) { return control->reportId == first->reportId; });
      if (inReport == candidates[i].end()) break;
      assignments_.push_back({*inReport, &values[i], {}});
    }
    if (assignments_.size() != values.size()) continue;
    reportId_ = first->reportId;
    for (Assignment& assignment : assignments_) {
      const XtraResult checked = Check(assignment);
      if (checked.isError) return checked;
    }
    return Success();
  }
  const NamedValue& stray = values[assignments_.size()];
  return Refusal("#" + values.front().name + " and #" + stray.name + " are in different " + KindName(kind_) +
                 " reports (" + std::to_string(candidates.front().front()->reportId) + " and " +
                 std::to_string(candidates[assignments_.size()].front()->reportId) + ")");
}

XtraResult ReportEncoder::Check(Assignment& assignment) const {
  const Control& control = *assignment.control;
  const NamedValue& value = *assignment.value;
  const std::string name = "#" + control.name;
  if (!control.reachable)
    return Refusal(name + " cannot be set by name: Windows finds an earlier control of its usage first");
  switch (control.type) {
    case ControlType::Button:
      if (value.isList || value.number < 0 || value.number > 1)
        return Refusal(name + " takes 0 or 1" + (value.isList ? "" : ", not " + std::to_string(value.number)));
      return Success();
    case ControlType::Value:
      if (control.IsValueArray())
        return Refusal(name + " holds " + std::to_string(control.count) + " values: send it with WriteReport");
      if (value.isList || value.number < control.logicalMin || value.number > control.logicalMax)
        return Refusal(name + " takes " + Range(control) + (value.isList ? "" : ", not " + std::to_string(value.number)));
      return Success();
    case ControlType::Array:
      if (!value.isList) return Refusal(name + " takes a list of the usages it is to hold, such as [#KeyA]");
      if (value.usages.size() > control.count)
        return Refusal(name + " holds at most " + std::to_string(control.count) + " usages");
      for (const std::string& usage : value.usages) {
        USAGE_AND_PAGE found{};
        if (!FindArrayUsage(control, usage, found)) return Refusal(name + " holds no usage #" + usage);
        assignment.usages.push_back(found);
      }
      return Success();
  }
  return Success();
}

XtraResult ReportEncoder::Blank(std::vector<uint8_t>& report) const {
  GuardedReport blank(table_.ReportLength(kind_));
  const NTSTATUS status = HidP_InitializeReportForID(ControlTable::ReportType(kind_), reportId_, preparsed_,
                                                     blank.Data(), blank.Length());
  if (status != HIDP_STATUS_SUCCESS)
    return Refusal("Could not lay out " + std::string(KindName(kind_)) + " report " + std::to_string(reportId_) +
                   ": " + HidStatusName(status));
  if (!blank.Intact()) return WrotePast();
  report = blank.Report();
  return Success();
}

XtraResult ReportEncoder::Apply(std::vector<uint8_t>& report) const {
  GuardedReport changed(report.data(), static_cast<uint32_t>(report.size()));
  for (const Assignment& assignment : assignments_) {
    const XtraResult applied = ApplyOne(assignment, changed);
    if (applied.isError) return applied;
  }
  if (!changed.Intact()) return WrotePast();
  report = changed.Report();
  return Success();
}

XtraResult ReportEncoder::ChangeButtons(const Control& control, std::vector<USAGE> usages, bool on,
                                        GuardedReport& report) const {
  if (usages.empty()) return Success();
  ULONG count = static_cast<ULONG>(usages.size());
  const auto change = on ? HidP_SetUsages : HidP_UnsetUsages;
  const NTSTATUS status = change(ControlTable::ReportType(kind_), control.usagePage, control.collection,
                                 usages.data(), &count, preparsed_, report.Data(), report.Length());
  // A button that is off already is off as asked.
  if (status == HIDP_STATUS_SUCCESS || (!on && status == HIDP_STATUS_BUTTON_NOT_PRESSED)) return Success();
  return Refusal("Could not set #" + control.name + ": " + HidStatusName(status));
}

XtraResult ReportEncoder::ApplyOne(const Assignment& assignment, GuardedReport& report) const {
  const Control& control = *assignment.control;
  const HIDP_REPORT_TYPE type = ControlTable::ReportType(kind_);
  switch (control.type) {
    case ControlType::Button: return ChangeButtons(control, {control.usage}, assignment.value->number == 1, report);
    case ControlType::Value: {
      const NTSTATUS status =
          HidP_SetUsageValue(type, control.usagePage, control.collection, control.usage,
                             static_cast<ULONG>(assignment.value->number), preparsed_, report.Data(), report.Length());
      if (status == HIDP_STATUS_SUCCESS) return Success();
      return Refusal("Could not set #" + control.name + ": " + HidStatusName(status));
    }
    case ControlType::Array: {
      // What the array's own link collection holds: another collection's
      // array of the same usages keeps its own.
      std::vector<USAGE_AND_PAGE> held(std::max<uint32_t>(table_.MaxUsagesOn(kind_), 1));
      ULONG count = static_cast<ULONG>(held.size());
      if (HidP_GetUsagesEx(type, control.collection, held.data(), &count, preparsed_, report.Data(),
                           report.Length()) != HIDP_STATUS_SUCCESS)
        count = 0;
      held.resize(std::min<size_t>(count, held.size()));
      // Every usage it held is let go before the new ones take slots.
      for (const bool on : {false, true}) {
        for (const UsageSpan& span : control.arrayUsages) {
          std::vector<USAGE> usages;
          for (const USAGE_AND_PAGE& usage : on ? assignment.usages : held)
            if (usage.UsagePage == span.page && span.min <= usage.Usage && usage.Usage <= span.max)
              usages.push_back(usage.Usage);
          const XtraResult changed = ChangeButtons(control, usages, on, report);
          if (changed.isError) return changed;
        }
      }
      return Success();
    }
  }
  return Success();
}

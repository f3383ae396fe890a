// A report holding the named controls at the values given: every name must
// be a control of one report of the kind, every value in its control's
// range; the first that is not is the error, naming it, and the report is
// left as it was. Windows writes the controls; this checks and asks.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/control_table.h"
#include "controls/decoded_report.h"
#include "controls/guarded_report.h"

class ReportEncoder {
 public:
  ReportEncoder(PHIDP_PREPARSED_DATA preparsed, const ControlTable& table, ControlKind kind)
      : preparsed_(preparsed), table_(table), kind_(kind) {}

  // Finds the report that holds every named control and checks the values.
  XtraResult Resolve(const std::vector<NamedValue>& values);
  uint8_t ReportId() const { return reportId_; }
  // A report of that ID with every other control zero (or at its null value).
  XtraResult Blank(std::vector<uint8_t>& report) const;
  // Writes the values into a report of that ID, such as Blank's or one the
  // device answered.
  XtraResult Apply(std::vector<uint8_t>& report) const;

 private:
  struct Assignment {
    const Control* control;
    const NamedValue* value;
    std::vector<USAGE_AND_PAGE> usages;  // an array's
  };
  XtraResult Check(Assignment& assignment) const;
  XtraResult ApplyOne(const Assignment& assignment, GuardedReport& report) const;
  XtraResult ChangeButtons(const Control& control, std::vector<USAGE> usages, bool on, GuardedReport& report) const;

  PHIDP_PREPARSED_DATA preparsed_;
  const ControlTable& table_;
  ControlKind kind_;
  uint8_t reportId_ = 0;
  std::vector<Assignment> assignments_;
};

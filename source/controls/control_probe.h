// Where a control sits in its report. Windows' capabilities do not say; so
// Windows itself writes the control into a blank report, and the first bit
// that changed is where it starts. Controls it cannot write stay unplaced.
#pragma once

#include <cstdint>

#include "controls/control.h"
#include "controls/guarded_report.h"
#include "platform.h"

class ControlProbe {
 public:
  ControlProbe(PHIDP_PREPARSED_DATA preparsed, HIDP_REPORT_TYPE type, uint32_t reportLength)
      : preparsed_(preparsed), type_(type), pristine_(reportLength), blank_(reportLength), written_(reportLength) {}

  uint32_t Button(const Control& button);
  // Places an array by its first usage that a field's value can show.
  uint32_t Array(const Control& array);
  // How many usages the array holds at once: Windows fills a blank report
  // with distinct usages until no slot is left.
  uint16_t ArraySlots(const Control& array);
  // A value written as all zeros and as all ones.
  uint32_t Value(const Control& value);

 private:
  // Windows' blank report of `reportId` into `report`, false when Windows
  // has none. Windows is asked once per run of one report's controls:
  // asked for every control, a range of thousands of usages took minutes.
  bool Blank(GuardedReport& report, uint8_t reportId);
  // False also when Windows wrote beyond the report: no field is there.
  bool SetButton(GuardedReport& report, const Control& control, USAGE page, USAGE usage);
  // The first bit in which written_ differs from `before`.
  uint32_t FirstDifference(const GuardedReport& before) const;

  PHIDP_PREPARSED_DATA preparsed_;
  HIDP_REPORT_TYPE type_;
  GuardedReport pristine_;  // as Windows made it for pristineId_
  int pristineId_ = -1;     // none yet
  bool pristineMade_ = false;
  GuardedReport blank_;  // a value's blank, its field written as zeros
  GuardedReport written_;
};

// The controls of an open collection, read once from Windows' preparsed
// data: every button, value and array field of each kind of report, in the
// order they sit in their reports, each with its Lingo name.
#pragma once

#include <array>
#include <vector>

#include "controls/control.h"
#include "diagnostics/xtra_result.h"
#include "platform.h"

class ControlTable {
 public:
  // Reads the collection's capabilities and learns where each control sits
  // by letting Windows write it into a report.
  XtraResult Read(PHIDP_PREPARSED_DATA preparsed);

  const std::vector<Control>& Of(ControlKind kind) const { return kinds_[Index(kind)].controls; }
  uint32_t ReportLength(ControlKind kind) const { return kinds_[Index(kind)].reportLength; }
  // Whether the kind has a report of this ID (0 for a collection that does
  // not number its reports).
  bool HasReport(ControlKind kind, uint8_t reportId) const;
  // How many usages one report of the kind may hold on at most.
  uint32_t MaxUsagesOn(ControlKind kind) const { return kinds_[Index(kind)].maxUsagesOn; }

  static HIDP_REPORT_TYPE ReportType(ControlKind kind);

 private:
  struct Kind {
    std::vector<Control> controls;
    std::vector<uint8_t> reportIds;
    uint32_t reportLength = 0;
    uint32_t maxUsagesOn = 0;
  };
  static size_t Index(ControlKind kind) { return static_cast<size_t>(kind); }
  XtraResult ReadKind(PHIDP_PREPARSED_DATA preparsed, ControlKind kind, Kind& out);

  std::array<Kind, 3> kinds_;
};

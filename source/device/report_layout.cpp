#include "device/report_layout.h"

#include <algorithm>

void LayOutReport(uint8_t reportId, const uint8_t* payload, uint32_t length, uint8_t* report, uint32_t reportLength) {
  if (reportLength == 0) return;
  std::fill(report, report + reportLength, 0);
  report[0] = reportId;
  std::copy_n(payload, std::min(length, reportLength - 1), report + 1);
}

#include "controls/guarded_report.h"

#include <algorithm>

GuardedReport::GuardedReport(const uint8_t* report, uint32_t length) : GuardedReport(length) {
  std::copy(report, report + length, bytes_.begin());
}

bool GuardedReport::Intact() const {
  return std::all_of(bytes_.begin() + length_, bytes_.end(), [](char byte) { return byte == 0; });
}

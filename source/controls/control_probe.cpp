#include "controls/control_probe.h"

namespace {

constexpr uint32_t kUnplaced = UINT32_MAX;

}  // namespace

bool ControlProbe::Blank(GuardedReport& report, uint8_t reportId) {
  if (pristineId_ != reportId) {
    pristineId_ = reportId;
    pristineMade_ = HidP_InitializeReportForID(type_, reportId, preparsed_, pristine_.Data(), pristine_.Length()) ==
                        HIDP_STATUS_SUCCESS &&
                    pristine_.Intact();
  }
  if (pristineMade_) report = pristine_;
  return pristineMade_;
}

bool ControlProbe::SetButton(GuardedReport& report, const Control& control, USAGE page, USAGE usage) {
  ULONG count = 1;
  return HidP_SetUsages(type_, page, control.collection, &usage, &count, preparsed_, report.Data(),
                        report.Length()) == HIDP_STATUS_SUCCESS &&
         report.Intact();
}

uint32_t ControlProbe::FirstDifference(const GuardedReport& before) const {
  for (uint32_t byte = 0; byte < before.Length(); ++byte) {
    const unsigned changed = before[byte] ^ written_[byte];
    for (uint32_t bit = 0; bit < 8; ++bit)
      if (changed & (1u << bit)) return byte * 8 + bit;
  }
  return kUnplaced;
}

uint32_t ControlProbe::Button(const Control& button) {
  if (!Blank(written_, button.reportId)) return kUnplaced;
  return SetButton(written_, button, button.usagePage, button.usage) ? FirstDifference(pristine_) : kUnplaced;
}

uint32_t ControlProbe::Array(const Control& array) {
  if (!Blank(written_, array.reportId)) return kUnplaced;
  const UsageSpan& span = array.arrayUsages.front();
  // Usage 0 shows as an empty field.
  const USAGE usage = span.min != 0 ? span.min : static_cast<USAGE>(span.min + 1);
  if (usage > span.max) return kUnplaced;
  return SetButton(written_, array, span.page, usage) ? FirstDifference(pristine_) : kUnplaced;
}

uint32_t ControlProbe::Value(const Control& value) {
  if (value.IsValueArray() || !Blank(blank_, value.reportId)) return kUnplaced;
  written_ = blank_;
  const ULONG ones = value.bits >= 32 ? ~ULONG{0} : (ULONG{1} << value.bits) - 1;
  const auto set = [&](GuardedReport& report, ULONG raw) {
    return HidP_SetUsageValue(type_, value.usagePage, value.collection, value.usage, raw, preparsed_, report.Data(),
                              report.Length()) == HIDP_STATUS_SUCCESS &&
           report.Intact();
  };
  return set(blank_, 0) && set(written_, ones) ? FirstDifference(blank_) : kUnplaced;
}

uint16_t ControlProbe::ArraySlots(const Control& array) {
  if (!Blank(written_, array.reportId)) return 0;
  uint16_t slots = 0;
  for (const UsageSpan& span : array.arrayUsages)
    for (uint32_t usage = span.min; usage <= span.max; ++usage) {
      // Usage 0 shows as an empty slot.
      if (usage == 0) continue;
      if (!SetButton(written_, array, span.page, static_cast<USAGE>(usage))) return slots;
      ++slots;
    }
  return slots;
}

#include "controls/hid_status.h"

#include <cstdio>

namespace {

struct NamedStatus {
  NTSTATUS status;
  const char* name;
};

const NamedStatus kStatuses[] = {
    {HIDP_STATUS_INVALID_PREPARSED_DATA, "HIDP_STATUS_INVALID_PREPARSED_DATA"},
    {HIDP_STATUS_INVALID_REPORT_TYPE, "HIDP_STATUS_INVALID_REPORT_TYPE"},
    {HIDP_STATUS_INVALID_REPORT_LENGTH, "HIDP_STATUS_INVALID_REPORT_LENGTH"},
    {HIDP_STATUS_USAGE_NOT_FOUND, "HIDP_STATUS_USAGE_NOT_FOUND"},
    {HIDP_STATUS_BUFFER_TOO_SMALL, "HIDP_STATUS_BUFFER_TOO_SMALL"},
    {HIDP_STATUS_INCOMPATIBLE_REPORT_ID, "HIDP_STATUS_INCOMPATIBLE_REPORT_ID"},
    {HIDP_STATUS_NOT_VALUE_ARRAY, "HIDP_STATUS_NOT_VALUE_ARRAY"},
    {HIDP_STATUS_IS_VALUE_ARRAY, "HIDP_STATUS_IS_VALUE_ARRAY"},
    {HIDP_STATUS_BUTTON_NOT_PRESSED, "HIDP_STATUS_BUTTON_NOT_PRESSED"},
    {HIDP_STATUS_REPORT_DOES_NOT_EXIST, "HIDP_STATUS_REPORT_DOES_NOT_EXIST"},
    {HIDP_STATUS_NOT_IMPLEMENTED, "HIDP_STATUS_NOT_IMPLEMENTED"},
};

}  // namespace

std::string HidStatusName(NTSTATUS status) {
  for (const NamedStatus& named : kStatuses)
    if (named.status == status) return named.name;
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(static_cast<uint32_t>(status)));
  return text;
}

XtraResult Refusal(const std::string& text) { return XtraResult::Failure(text.c_str(), XtraResult::kNoCode); }

XtraResult Success() {
  XtraResult result;
  result.Clear();
  result.SetOk();
  return result;
}

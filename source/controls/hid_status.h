// hid.dll's statuses as the Xtra's error texts name them.
#pragma once

#include <string>

#include "diagnostics/xtra_result.h"
#include "platform.h"

// "HIDP_STATUS_USAGE_NOT_FOUND", or the number in hex for one not known here.
std::string HidStatusName(NTSTATUS status);
// An error of the Xtra's own (code -1) with `text`.
XtraResult Refusal(const std::string& text);
XtraResult Success();

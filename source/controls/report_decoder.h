// A report as every control of it reads: buttons 0 or 1, values at their
// logical values (null when in their null state), arrays as the usages
// they hold. Windows reads the controls; this only asks and names.
#pragma once

#include <cstdint>

#include "controls/control_table.h"
#include "controls/decoded_report.h"

XtraResult DecodeReport(PHIDP_PREPARSED_DATA preparsed, const ControlTable& table, ControlKind kind,
                        const uint8_t* bytes, uint32_t length, DecodedReport& out);

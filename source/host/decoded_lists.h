// Decoded controls as Lingo sees them, shared by DecodeReport's answer and
// the input calls that hand decoded reports and changes to the movie.
#pragma once

#include "controls/decoded_report.h"
#include "values/list_builder.h"

// Into the innermost open property list: the control under its name, as a
// number, VOID in its null state, or a list of usages or numbers.
void AddDecoded(ListBuilder& list, const DecodedControl& decoded);
// #ReportID, then every control of the report in report order.
void AddDecodedReport(ListBuilder& list, const DecodedReport& decoded);

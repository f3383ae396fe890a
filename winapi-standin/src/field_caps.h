// How Windows' HID parser turns one Input, Output or Feature item into
// capabilities and data indices.
#pragma once

#include <cstdint>
#include <vector>

#include "parsed_collection.h"

namespace standin::detail {

// A main item with the global and local items in force where it stands.
struct MainItemFields {
  std::uint32_t flags;  // the item's data: constant, variable, relative, null state...
  UCHAR reportId;
  USHORT bitSize;
  USHORT reportCount;
  std::uint32_t bitOffset;  // of its first field in the report
  LONG logicalMin;
  LONG logicalMax;
  LONG physicalMin;
  LONG physicalMax;
  ULONG units;
  ULONG unitsExp;
  USHORT linkCollection;
  USAGE linkUsage;
  USAGE linkUsagePage;
  std::vector<UsageEntry> usages;  // in the order declared
  IndexEntry string;
  IndexEntry designator;
};

// Appends the item's capabilities to those of its kind and numbers their
// data indices on from the kind's last. Throws std::invalid_argument when
// the indices or capabilities no longer fit Windows' 16-bit counts.
void AppendFieldCaps(HIDP_REPORT_TYPE kind, const MainItemFields& item, ParsedReports& reports);

}  // namespace standin::detail

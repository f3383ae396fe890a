// What Windows' HID parser makes of one top-level collection of a report
// descriptor: its controls per kind of report, the link collections they
// sit in, and the length of each kind of report.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "standin/hid.h"

namespace standin::detail {

// A usage or a usage range, on its page.
struct UsageEntry {
  USAGE page;
  USAGE min;
  USAGE max;  // min for a single usage
  bool isRange;
  std::uint32_t Count() const { return static_cast<std::uint32_t>(max) - min + 1; }
};

// A string or designator index, or a range of them.
struct IndexEntry {
  USHORT min = 0;
  USHORT max = 0;
  bool isRange = false;
};

// One capability: a run of fields of one main item that share a usage or
// usage range. Button and value capabilities alike; the public structures
// each show their part of it.
struct ParsedCap {
  UsageEntry usage;
  IndexEntry string;
  IndexEntry designator;
  USHORT dataIndexMin;
  USHORT dataIndexMax;
  UCHAR reportId;
  USHORT bitField;  // the main item's data
  USHORT linkCollection;
  USAGE linkUsage;
  USAGE linkUsagePage;
  bool isButton;
  USHORT bitSize;
  USHORT reportCount;
  // Where the first field starts, counted in bits from the start of the
  // report, its ID byte included (which is there, as 0, even when the
  // collection numbers no reports).
  std::uint32_t bitOffset;
  LONG logicalMin;
  LONG logicalMax;
  LONG physicalMin;
  LONG physicalMax;
  ULONG units;
  ULONG unitsExp;

  bool IsAbsolute() const { return (bitField & 0x04) == 0; }
  bool HasNull() const { return (bitField & 0x40) != 0; }
};

// Everything of one kind of report (input, output or feature).
struct ParsedReports {
  std::vector<ParsedCap> caps;
  // The longest report of the kind, its ID byte included; 0 without any.
  USHORT byteLength = 0;
  USHORT dataIndices = 0;
  // The IDs of the kind's reports; none when the collection numbers none.
  std::vector<std::uint8_t> reportIds;
};

struct ParsedCollection {
  USAGE usage = 0;
  USAGE usagePage = 0;
  std::array<ParsedReports, 3> reports;  // by HIDP_REPORT_TYPE
  // Node 0 is the top-level collection itself.
  std::vector<HIDP_LINK_COLLECTION_NODE> linkNodes;

  const ParsedReports& Of(HIDP_REPORT_TYPE kind) const { return reports[static_cast<std::size_t>(kind)]; }
  ParsedReports& Of(HIDP_REPORT_TYPE kind) { return reports[static_cast<std::size_t>(kind)]; }
};

}  // namespace standin::detail

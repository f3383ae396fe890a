#include "field_caps.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace standin::detail {

namespace {

constexpr std::uint32_t kConstant = 0x01;
constexpr std::uint32_t kVariable = 0x02;
constexpr std::uint32_t kMaxCount = std::numeric_limits<USHORT>::max();

// The fields of a variable item that one usage entry covers.
struct FieldRun {
  UsageEntry usage;
  USHORT firstField;
  USHORT fields;
};

// Fields go to the usages in the order declared, a range taking one field
// per usage; the last usage takes every field left over, and usages left
// without a field get no capability, also those of a range longer than the
// fields left to it (64 buttons may declare usages 0 to 0xFFFF).
std::vector<FieldRun> VariableRuns(const MainItemFields& item) {
  std::vector<FieldRun> runs;
  std::uint32_t field = 0;
  for (std::size_t i = 0; i < item.usages.size() && field < item.reportCount; ++i) {
    const std::uint32_t left = item.reportCount - field;
    UsageEntry usage = item.usages[i];
    if (usage.Count() > left) usage.max = static_cast<USAGE>(usage.min + left - 1);
    const std::uint32_t fields = i + 1 == item.usages.size() ? left : usage.Count();
    runs.push_back({usage, static_cast<USHORT>(field), static_cast<USHORT>(fields)});
    field += fields;
  }
  return runs;
}

USHORT TakeDataIndices(ParsedReports& reports, std::uint32_t count) {
  const std::uint32_t first = reports.dataIndices;
  if (first + count > kMaxCount)
    throw std::invalid_argument("report descriptor: more data indices than Windows numbers");
  reports.dataIndices = static_cast<USHORT>(first + count);
  return static_cast<USHORT>(first);
}

ParsedCap CapOf(const MainItemFields& item, const FieldRun& run) {
  const bool variable = (item.flags & kVariable) != 0;
  ParsedCap cap{};
  cap.usage = run.usage;
  cap.string = item.string;
  cap.designator = item.designator;
  cap.reportId = item.reportId;
  cap.bitField = static_cast<USHORT>(item.flags);
  cap.linkCollection = item.linkCollection;
  cap.linkUsage = item.linkUsage;
  cap.linkUsagePage = item.linkUsagePage;
  cap.isButton = !variable || item.bitSize == 1;
  cap.bitSize = item.bitSize;
  cap.reportCount = run.fields;
  cap.bitOffset = item.bitOffset + static_cast<std::uint32_t>(run.firstField) * item.bitSize;
  cap.logicalMin = item.logicalMin;
  cap.logicalMax = item.logicalMax;
  cap.physicalMin = item.physicalMin;
  cap.physicalMax = item.physicalMax;
  cap.units = item.units;
  cap.unitsExp = item.unitsExp;
  return cap;
}

void AppendCap(ParsedReports& reports, ParsedCap cap, USHORT firstDataIndex) {
  if (reports.caps.size() >= kMaxCount)
    throw std::invalid_argument("report descriptor: more capabilities than Windows counts");
  cap.dataIndexMin = firstDataIndex;
  cap.dataIndexMax = static_cast<USHORT>(firstDataIndex + cap.usage.Count() - 1);
  reports.caps.push_back(cap);
}

}  // namespace

// Windows lists an item's usages last declared first. A variable item's
// data indices follow that order; an array's follow the order declared,
// every usage of it standing for the same fields.
void AppendFieldCaps(HIDP_REPORT_TYPE kind, const MainItemFields& item, ParsedReports& reports) {
  // Windows keeps no capability for constant input or output fields, nor
  // for constant arrays, whatever usages they carry; a constant variable
  // feature (read-only state) keeps its capabilities. The real devices it
  // was checked against hold all four cases.
  const bool variable = (item.flags & kVariable) != 0;
  if ((item.flags & kConstant) && (!variable || kind != HidP_Feature)) return;
  if (item.reportCount == 0) return;

  if (variable) {
    const std::vector<FieldRun> runs = VariableRuns(item);
    for (auto run = runs.rbegin(); run != runs.rend(); ++run)
      AppendCap(reports, CapOf(item, *run), TakeDataIndices(reports, run->usage.Count()));
    return;
  }
  std::vector<USHORT> firstIndices;
  for (const UsageEntry& usage : item.usages) firstIndices.push_back(TakeDataIndices(reports, usage.Count()));
  for (std::size_t i = item.usages.size(); i-- > 0;)
    AppendCap(reports, CapOf(item, {item.usages[i], 0, item.reportCount}), firstIndices[i]);
}

}  // namespace standin::detail

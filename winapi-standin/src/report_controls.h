// The controls of one report as hid.dll's data functions find them: by
// usage, in the order Windows lists the capabilities, and the array fields
// whose usages they share.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "parsed_collection.h"

namespace standin::detail {

// A report the caller handed in, already checked to be of the kind's length.
struct ReportBuffer {
  std::uint8_t* bytes;
  std::uint32_t length;
  std::uint8_t Id() const { return bytes[0]; }
};

// Where a usage was looked for.
struct UsageQuery {
  USAGE page;
  USHORT linkCollection;  // 0: any
  USAGE usage;
  bool buttons;  // button capabilities, else value capabilities
};

struct FoundCap {
  const ParsedCap* cap = nullptr;
  // Not in this report, but in another of the kind.
  bool elsewhere = false;
};
// The first capability of the report that holds the usage.
FoundCap FindCap(const ParsedReports& reports, const UsageQuery& query, std::uint8_t reportId);

bool IsVariable(const ParsedCap& cap);
// A variable capability's field of one of its usages; none when the usage
// has no field of its own.
std::optional<std::uint32_t> FieldOffset(const ParsedCap& cap, USAGE usage);

// An array field and every capability of the usages it may hold, in the
// order they were declared: a field's value, less the logical minimum,
// indexes their usages.
class ArrayItem {
 public:
  ArrayItem(const ParsedReports& reports, const ParsedCap& member);
  const ParsedCap& Layout() const { return *caps_.front(); }
  // The usage a field's value stands for; none when it stands for nothing
  // (out of range, or usage 0, which no page gives a meaning).
  std::optional<UsageEntry> UsageOf(std::uint32_t raw) const;
  // The field value for the usage, if the array holds it.
  std::optional<std::uint32_t> ValueOf(USAGE page, USAGE usage) const;
  // A value that stands for no usage, which marks a field empty.
  std::uint32_t EmptyValue() const;
  std::uint32_t FieldBits(std::uint32_t field) const;

 private:
  std::vector<const ParsedCap*> caps_;
};

// Every field of a value capability starts at this null value when a report
// is initialised: one outside the logical range that the field can hold.
std::uint32_t NullValue(const ParsedCap& cap);

}  // namespace standin::detail

// A control of a HID collection as Lingo sees it: what GetControls lists and
// what DecodeReport and WriteUsages name. Neutral records: no HID header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ControlKind { Input, Output, Feature };
enum class ControlType { Button, Value, Array };

const char* KindName(ControlKind kind);  // "input", "output", "feature"
const char* TypeName(ControlType type);  // "button", "value", "array"

// A usage or range of usages on one page.
struct UsageSpan {
  uint16_t page;
  uint16_t min;
  uint16_t max;
};

struct Control {
  std::string name;
  ControlKind kind;
  ControlType type;
  uint8_t reportId;
  uint16_t usagePage;
  uint16_t usage;
  // The last usage an array may hold on its first page; `usage` otherwise.
  uint16_t usageMax;
  int32_t logicalMin;
  int32_t logicalMax;
  uint16_t bits;
  // Fields: more than 1 for a value array or an array's slots.
  uint16_t count;
  uint16_t collection;
  bool hasNull;
  // False when an earlier control of its report has the same usage in the
  // same link collection: Windows finds that one for either.
  bool reachable;
  // Every usage an array may hold, in the order its descriptor declared them.
  std::vector<UsageSpan> arrayUsages;
  // The first bit the control fills in its report, as Windows places it;
  // controls it cannot place come last.
  uint32_t bitOffset;
  uint16_t dataIndex;

  bool IsValueArray() const { return type == ControlType::Value && count > 1; }
};

#include "report_controls.h"

#include <algorithm>

#include "report_bits.h"

namespace standin::detail {

namespace {

bool Holds(const ParsedCap& cap, const UsageQuery& query) {
  return cap.isButton == query.buttons && (query.page == 0 || cap.usage.page == query.page) &&
         (query.linkCollection == 0 || cap.linkCollection == query.linkCollection) && cap.usage.min <= query.usage &&
         query.usage <= cap.usage.max;
}

// Whether the field can hold `value` read back as the same logical value.
bool Representable(std::int64_t value, const ParsedCap& cap) {
  const std::uint32_t bits = std::min<std::uint32_t>(cap.bitSize, 32);
  if (bits == 0) return false;
  if (cap.logicalMin < 0) {
    const std::int64_t half = std::int64_t{1} << (bits - 1);
    return value >= -half && value < half;
  }
  return value >= 0 && value < (std::int64_t{1} << bits);
}

std::int64_t Logical(std::uint32_t raw, const ParsedCap& cap) {
  return cap.logicalMin < 0 ? SignExtend(raw, cap.bitSize) : static_cast<std::int64_t>(raw);
}

std::uint32_t Raw(std::int64_t value) { return static_cast<std::uint32_t>(value); }

}  // namespace

FoundCap FindCap(const ParsedReports& reports, const UsageQuery& query, std::uint8_t reportId) {
  FoundCap found;
  for (const ParsedCap& cap : reports.caps) {
    if (!Holds(cap, query)) continue;
    if (cap.reportId == reportId) {
      found.cap = &cap;
      return found;
    }
    found.elsewhere = true;
  }
  return found;
}

bool IsVariable(const ParsedCap& cap) { return (cap.bitField & 0x02) != 0; }

std::optional<std::uint32_t> FieldOffset(const ParsedCap& cap, USAGE usage) {
  const std::uint32_t field = cap.usage.isRange ? static_cast<std::uint32_t>(usage - cap.usage.min) : 0;
  if (field >= cap.reportCount) return std::nullopt;
  return cap.bitOffset + field * cap.bitSize;
}

ArrayItem::ArrayItem(const ParsedReports& reports, const ParsedCap& member) {
  for (const ParsedCap& cap : reports.caps)
    if (!IsVariable(cap) && cap.reportId == member.reportId && cap.bitOffset == member.bitOffset)
      caps_.push_back(&cap);
  std::sort(caps_.begin(), caps_.end(),
            [](const ParsedCap* a, const ParsedCap* b) { return a->dataIndexMin < b->dataIndexMin; });
}

std::optional<UsageEntry> ArrayItem::UsageOf(std::uint32_t raw) const {
  const ParsedCap& layout = Layout();
  const std::int64_t value = Logical(raw, layout);
  if (value < layout.logicalMin || value > layout.logicalMax) return std::nullopt;
  std::int64_t index = value - layout.logicalMin;
  for (const ParsedCap* cap : caps_) {
    if (index < cap->usage.Count()) {
      const auto usage = static_cast<USAGE>(cap->usage.min + index);
      if (usage == 0) return std::nullopt;
      return UsageEntry{cap->usage.page, usage, usage, false};
    }
    index -= cap->usage.Count();
  }
  return std::nullopt;
}

std::optional<std::uint32_t> ArrayItem::ValueOf(USAGE page, USAGE usage) const {
  std::int64_t index = 0;
  for (const ParsedCap* cap : caps_) {
    if (cap->usage.page == page && cap->usage.min <= usage && usage <= cap->usage.max) {
      const std::int64_t value = Layout().logicalMin + index + (usage - cap->usage.min);
      if (value > Layout().logicalMax || !Representable(value, Layout())) return std::nullopt;
      return Raw(value);
    }
    index += cap->usage.Count();
  }
  return std::nullopt;
}

std::uint32_t ArrayItem::EmptyValue() const {
  for (const std::int64_t candidate : {std::int64_t{0}, std::int64_t{Layout().logicalMax} + 1,
                                       std::int64_t{Layout().logicalMin} - 1})
    if (Representable(candidate, Layout()) && !UsageOf(Raw(candidate))) return Raw(candidate);
  return 0;
}

std::uint32_t ArrayItem::FieldBits(std::uint32_t field) const {
  return Layout().bitOffset + field * Layout().bitSize;
}

std::uint32_t NullValue(const ParsedCap& cap) {
  for (const std::int64_t candidate :
       {std::int64_t{0}, std::int64_t{cap.logicalMax} + 1, std::int64_t{cap.logicalMin} - 1}) {
    const bool outside = candidate < cap.logicalMin || candidate > cap.logicalMax;
    if (outside && Representable(candidate, cap)) return Raw(candidate);
  }
  return 0;
}

}  // namespace standin::detail

#include "report_descriptor.h"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "descriptor_items.h"
#include "field_caps.h"

namespace standin::detail {

namespace {

enum MainTag : std::uint8_t { kInput = 0x8, kOutput = 0x9, kCollection = 0xA, kFeature = 0xB, kEndCollection = 0xC };
enum GlobalTag : std::uint8_t {
  kUsagePage,
  kLogicalMinimum,
  kLogicalMaximum,
  kPhysicalMinimum,
  kPhysicalMaximum,
  kUnitExponent,
  kUnit,
  kReportSize,
  kReportId,
  kReportCount,
  kPush,
  kPop
};
enum LocalTag : std::uint8_t {
  kUsage,
  kUsageMinimum,
  kUsageMaximum,
  kDesignatorIndex,
  kDesignatorMinimum,
  kDesignatorMaximum,
  kStringIndex = 7,
  kStringMinimum,
  kStringMaximum,
  kDelimiter
};

constexpr std::uint32_t kMaxCount = 0xFFFF;

[[noreturn]] void Refuse(const std::string& why) { throw std::invalid_argument("report descriptor: " + why); }

struct GlobalState {
  USAGE usagePage = 0;
  LONG logicalMin = 0;
  LONG logicalMax = 0;
  LONG physicalMin = 0;
  LONG physicalMax = 0;
  ULONG unitsExp = 0;
  ULONG units = 0;
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  UCHAR reportId = 0;
};

// A usage as an item gives it: a four-byte usage names its page, a shorter
// one takes the usage page in force at the main item it belongs to.
struct UsageBound {
  USAGE id;
  std::optional<USAGE> page;
};

UsageBound BoundOf(const DescriptorItem& item) {
  if (item.size == 4) return {static_cast<USAGE>(item.data & 0xFFFF), static_cast<USAGE>(item.data >> 16)};
  return {static_cast<USAGE>(item.data), std::nullopt};
}

struct DeclaredUsage {
  UsageBound min;
  USAGE max;
  bool isRange;
};

struct LocalState {
  std::vector<DeclaredUsage> usages;
  std::optional<UsageBound> usageMinimum;
  std::optional<UsageBound> usageMaximum;
  IndexEntry string;
  IndexEntry designator;
  bool inDelimiter = false;
  bool delimitedUsageTaken = false;
};

void SetIndex(IndexEntry& entry, LocalTag tag, LocalTag index, LocalTag minimum, std::uint32_t data) {
  const auto value = static_cast<USHORT>(data);
  if (tag == index) {
    entry = {value, value, false};
  } else {
    (tag == minimum ? entry.min : entry.max) = value;
    entry.isRange = true;
  }
}

class Parser {
 public:
  std::vector<ParsedCollection> Run(const std::vector<std::uint8_t>& descriptor);

 private:
  void OnGlobal(const DescriptorItem& item);
  void OnLocal(const DescriptorItem& item);
  void OnMain(const DescriptorItem& item);
  void OnDelimiter(std::uint32_t data);
  void AddUsage(const DeclaredUsage& usage);
  void AddRangeWhenComplete();
  void OpenCollection(std::uint32_t type);
  void CloseCollection();
  void AddFields(HIDP_REPORT_TYPE kind, std::uint32_t flags);
  std::uint32_t PlaceFields(HIDP_REPORT_TYPE kind, std::uint32_t bits);
  std::vector<UsageEntry> ResolvedUsages() const;
  void CheckReportIdsAcrossCollections() const;

  GlobalState global_;
  std::vector<GlobalState> pushed_;
  LocalState local_;
  std::vector<ParsedCollection> collections_;
  // The link collections open in the current top-level collection, the
  // innermost last.
  std::vector<USHORT> open_;
  // How many bits each report of the current top-level collection has so
  // far, by kind and report ID.
  std::map<std::pair<int, UCHAR>, std::uint32_t> reportBits_;
};

std::vector<ParsedCollection> Parser::Run(const std::vector<std::uint8_t>& descriptor) {
  DescriptorItems items(descriptor);
  DescriptorItem item{};
  while (items.Next(item)) {
    switch (item.type) {
      case ItemType::Main:
        OnMain(item);
        local_ = LocalState{};
        break;
      case ItemType::Global: OnGlobal(item); break;
      case ItemType::Local: OnLocal(item); break;
      case ItemType::Reserved: break;
    }
  }
  if (!open_.empty()) Refuse("a collection is never closed");
  if (collections_.empty()) Refuse("no top-level collection");
  CheckReportIdsAcrossCollections();
  return std::move(collections_);
}

void Parser::OnGlobal(const DescriptorItem& item) {
  switch (item.tag) {
    case kUsagePage: global_.usagePage = static_cast<USAGE>(item.data); break;
    case kLogicalMinimum: global_.logicalMin = item.SignedData(); break;
    case kLogicalMaximum: global_.logicalMax = item.SignedData(); break;
    case kPhysicalMinimum: global_.physicalMin = item.SignedData(); break;
    case kPhysicalMaximum: global_.physicalMax = item.SignedData(); break;
    case kUnitExponent: global_.unitsExp = item.data; break;
    case kUnit: global_.units = item.data; break;
    case kReportSize: global_.reportSize = item.data; break;
    case kReportId:
      if (item.data == 0 || item.data > 0xFF) Refuse("report ID " + std::to_string(item.data) + " is not 1 to 255");
      global_.reportId = static_cast<UCHAR>(item.data);
      break;
    case kReportCount: global_.reportCount = item.data; break;
    case kPush: pushed_.push_back(global_); break;
    case kPop:
      if (pushed_.empty()) Refuse("Pop without Push");
      global_ = pushed_.back();
      pushed_.pop_back();
      break;
    default: break;  // reserved tags carry nothing a parser knows
  }
}

void Parser::OnLocal(const DescriptorItem& item) {
  const auto tag = static_cast<LocalTag>(item.tag);
  switch (tag) {
    case kUsage: AddUsage({BoundOf(item), BoundOf(item).id, false}); break;
    case kUsageMinimum:
      local_.usageMinimum = BoundOf(item);
      AddRangeWhenComplete();
      break;
    case kUsageMaximum:
      local_.usageMaximum = BoundOf(item);
      AddRangeWhenComplete();
      break;
    case kDesignatorIndex:
    case kDesignatorMinimum:
    case kDesignatorMaximum:
      SetIndex(local_.designator, tag, kDesignatorIndex, kDesignatorMinimum, item.data);
      break;
    case kStringIndex:
    case kStringMinimum:
    case kStringMaximum: SetIndex(local_.string, tag, kStringIndex, kStringMinimum, item.data); break;
    case kDelimiter: OnDelimiter(item.data); break;
    default: break;
  }
}

// The usages of a delimited set are alternatives for one control. Windows
// lists the others as aliases; the stand-in keeps the first, as the USB HID
// specification allows a parser to do.
void Parser::OnDelimiter(std::uint32_t data) {
  const bool opens = data != 0;
  if (opens == local_.inDelimiter) Refuse(opens ? "delimiters nested" : "a delimiter closed that was never opened");
  local_.inDelimiter = opens;
  local_.delimitedUsageTaken = false;
}

void Parser::AddUsage(const DeclaredUsage& usage) {
  if (local_.inDelimiter) {
    if (local_.delimitedUsageTaken) return;
    local_.delimitedUsageTaken = true;
  }
  local_.usages.push_back(usage);
}

void Parser::AddRangeWhenComplete() {
  if (!local_.usageMinimum || !local_.usageMaximum) return;
  UsageBound min = *local_.usageMinimum;
  const UsageBound max = *local_.usageMaximum;
  if (min.id > max.id) Refuse("a usage minimum above its maximum");
  if (!min.page) min.page = max.page;
  AddUsage({min, max.id, true});
  local_.usageMinimum.reset();
  local_.usageMaximum.reset();
}

void Parser::OnMain(const DescriptorItem& item) {
  if (local_.usageMinimum || local_.usageMaximum) Refuse("a usage minimum or maximum without the other");
  if (local_.inDelimiter) Refuse("a delimiter left open");
  switch (item.tag) {
    case kCollection: OpenCollection(item.data); break;
    case kEndCollection: CloseCollection(); break;
    case kInput: AddFields(HidP_Input, item.data); break;
    case kOutput: AddFields(HidP_Output, item.data); break;
    case kFeature: AddFields(HidP_Feature, item.data); break;
    default: break;
  }
}

std::vector<UsageEntry> Parser::ResolvedUsages() const {
  std::vector<UsageEntry> usages;
  for (const DeclaredUsage& usage : local_.usages)
    usages.push_back({usage.min.page.value_or(global_.usagePage), usage.min.id, usage.max, usage.isRange});
  return usages;
}

// A collection takes the first usage declared before it. Windows lists a
// node's children last declared first: FirstChild is the newest, and each
// child's NextSibling the one declared before it.
void Parser::OpenCollection(std::uint32_t type) {
  const std::vector<UsageEntry> usages = ResolvedUsages();
  HIDP_LINK_COLLECTION_NODE node{};
  node.LinkUsage = usages.empty() ? USAGE{0} : usages.front().min;
  node.LinkUsagePage = usages.empty() ? global_.usagePage : usages.front().page;
  node.CollectionType = type & 0xFF;
  if (open_.empty()) {
    collections_.emplace_back();
    collections_.back().usage = node.LinkUsage;
    collections_.back().usagePage = node.LinkUsagePage;
    reportBits_.clear();
  }
  auto& nodes = collections_.back().linkNodes;
  if (nodes.size() >= kMaxCount) Refuse("more link collections than Windows counts");
  const auto index = static_cast<USHORT>(nodes.size());
  if (!open_.empty()) {
    HIDP_LINK_COLLECTION_NODE& parent = nodes[open_.back()];
    node.Parent = open_.back();
    node.NextSibling = parent.FirstChild;
    parent.FirstChild = index;
    ++parent.NumberOfChildren;
  }
  nodes.push_back(node);
  open_.push_back(index);
}

void Parser::CloseCollection() {
  if (open_.empty()) Refuse("End Collection without a collection");
  open_.pop_back();
}

void Parser::AddFields(HIDP_REPORT_TYPE kind, std::uint32_t flags) {
  if (open_.empty()) Refuse("a main item outside any collection");
  if (global_.reportSize > kMaxCount || global_.reportCount > kMaxCount) Refuse("a report size or count past 65535");
  const std::uint32_t offset = PlaceFields(kind, global_.reportSize * global_.reportCount);
  ParsedCollection& collection = collections_.back();
  const HIDP_LINK_COLLECTION_NODE& link = collection.linkNodes[open_.back()];
  const MainItemFields fields{flags,
                              global_.reportId,
                              static_cast<USHORT>(global_.reportSize),
                              static_cast<USHORT>(global_.reportCount),
                              offset,
                              global_.logicalMin,
                              global_.logicalMax,
                              global_.physicalMin,
                              global_.physicalMax,
                              global_.units,
                              global_.unitsExp,
                              open_.back(),
                              link.LinkUsage,
                              link.LinkUsagePage,
                              ResolvedUsages(),
                              local_.string,
                              local_.designator};
  AppendFieldCaps(kind, fields, collection.Of(kind));
}

// Every report starts with its ID byte, 0 when the collection numbers
// none; fields follow in the order declared, per kind and ID.
std::uint32_t Parser::PlaceFields(HIDP_REPORT_TYPE kind, std::uint32_t bits) {
  ParsedReports& reports = collections_.back().Of(kind);
  const auto key = std::make_pair(static_cast<int>(kind), global_.reportId);
  auto report = reportBits_.find(key);
  if (report == reportBits_.end()) {
    for (const auto& [other, otherBits] : reportBits_)
      if ((other.second == 0) != (global_.reportId == 0)) Refuse("reports with and without an ID in one collection");
    report = reportBits_.emplace(key, 8).first;
    if (global_.reportId != 0) reports.reportIds.push_back(global_.reportId);
  }
  const std::uint32_t offset = report->second;
  const std::uint64_t end = std::uint64_t{offset} + bits;
  const std::uint64_t bytes = (end + 7) / 8;
  if (bytes > kMaxCount) Refuse("a report longer than 65535 bytes");
  report->second = static_cast<std::uint32_t>(end);
  reports.byteLength = std::max(reports.byteLength, static_cast<USHORT>(bytes));
  return offset;
}

// Windows tells the top-level collections of a device apart by report ID:
// with several, every report needs one, and no two collections may share
// one.
void Parser::CheckReportIdsAcrossCollections() const {
  if (collections_.size() < 2) return;
  std::map<UCHAR, std::size_t> owners;
  for (std::size_t i = 0; i < collections_.size(); ++i) {
    for (const ParsedReports& reports : collections_[i].reports) {
      if (reports.byteLength != 0 && reports.reportIds.empty())
        Refuse("several top-level collections, and one numbers no reports");
      for (UCHAR id : reports.reportIds)
        if (owners.emplace(id, i).first->second != i)
          Refuse("report ID " + std::to_string(id) + " in two top-level collections");
    }
  }
}

}  // namespace

std::vector<ParsedCollection> ParseReportDescriptor(const std::vector<std::uint8_t>& descriptor) {
  return Parser().Run(descriptor);
}

}  // namespace standin::detail

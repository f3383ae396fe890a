#include "wine_caps_differences.h"

#include <cstring>
#include <iterator>
#include <map>

const char* const kRefusedByWine = "not tried";

namespace {

const char kJoined[] =
    "one device for all top-level collections, whose preparsed data joins them: the longest reports, every "
    "link collection and cap (hidclass makes no device of the others)";
const char kAllNodes[] = "the link collections of every top-level collection in the first one's preparsed data";
const char kNotMade[] = "hidclass makes a device of the first top-level collection only";
const char kRefused[] =
    "hidclass never shows the collection (the plug times out after 5 s) and Wine's device broadcasts stay "
    "stalled for the session after, so it is not plugged";
const char kConstantFields[] =
    "a field with usage 0 (Undefined) gets no cap, nor do the output items beside it";
const char kFeaturePadding[] = "a constant feature field gets a button cap Windows does not list";

// "*" stands for any. The first entry a difference matches counts it: the
// link collections Wine joins are each the sum of the device's collections'.
struct KnownDifference {
  const char* collection;
  const char* where;
  const char* member;
  const char* windows;
  const char* wine;
  const char* reason;
};

const KnownDifference kKnown[] = {
    {"046D_B010_0002_0001", "HIDP_CAPS", "NumberLinkCollectionNodes", "2", "6", kAllNodes},
    {"046D_B010_0002_0001", "*", "*", "*", "*", kJoined},
    {"046D_B010_0001_000C", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_B010_0001_FF00", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_B010_0002_FF00", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_B010_0006_0001", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_C52F_0001_000C", "HIDP_CAPS", "NumberLinkCollectionNodes", "1", "3", kAllNodes},
    {"046D_C52F_0001_000C", "*", "*", "*", "*", kJoined},
    {"046D_C52F_0001_FF00", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_C52F_0002_FF00", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_C534_0002_0001", "HIDP_CAPS", "NumberLinkCollectionNodes", "2", "6", kAllNodes},
    {"046D_C534_0002_0001", "*", "*", "*", "*", kJoined},
    {"046D_C534_0001_000C", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_C534_0001_FF00", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_C534_0002_FF00", "the collection", "plugged", "yes", "no", kNotMade},
    {"046D_C534_0080_0001", "the collection", "plugged", "yes", "no", kNotMade},
    {"047F_C056_0001_000C", "HIDP_CAPS", "NumberLinkCollectionNodes", "1", "3", kAllNodes},
    {"047F_C056_0001_000C", "*", "*", "*", "*", kJoined},
    {"047F_C056_0003_FFA0", "the collection", "plugged", "yes", "no", kNotMade},
    {"047F_C056_0005_000B", "the collection", "plugged", "yes", "no", kNotMade},
    {"17CC_1130_0000_FF01", "the collection", "plugged", "yes", kRefusedByWine, kRefused},
    {"046D_0A37_0001_000C", "HIDP_CAPS", "NumberInputButtonCaps", "5", "4", kConstantFields},
    {"046D_0A37_0001_000C", "HIDP_CAPS", "NumberInputValueCaps", "2", "0", kConstantFields},
    {"046D_0A37_0001_000C", "HIDP_CAPS", "NumberInputDataIndices", "8", "5", kConstantFields},
    {"046D_0A37_0001_000C", "HIDP_CAPS", "NumberOutputButtonCaps", "1", "0", kConstantFields},
    {"046D_0A37_0001_000C", "HIDP_CAPS", "NumberOutputValueCaps", "2", "0", kConstantFields},
    {"046D_0A37_0001_000C", "HIDP_CAPS", "NumberOutputDataIndices", "3", "0", kConstantFields},
    {"046D_0A37_0001_000C", "input button cap", "count", "5", "4", kConstantFields},
    {"046D_0A37_0001_000C", "input value cap", "the query", "0x110000", "0xc0110004", kConstantFields},
    {"046D_0A37_0001_000C", "input value cap", "count", "2", "0", kConstantFields},
    {"046D_0A37_0001_000C", "output button cap", "the query", "0x110000", "0xc0110004", kConstantFields},
    {"046D_0A37_0001_000C", "output button cap", "count", "1", "0", kConstantFields},
    {"046D_0A37_0001_000C", "output value cap", "the query", "0x110000", "0xc0110004", kConstantFields},
    {"046D_0A37_0001_000C", "output value cap", "count", "2", "0", kConstantFields},
    {"1532_00A3_0002_0001", "HIDP_CAPS", "NumberFeatureButtonCaps", "0", "1", kFeaturePadding},
    {"1532_00A3_0002_0001", "HIDP_CAPS", "NumberFeatureDataIndices", "0", "1", kFeaturePadding},
    {"1532_00A3_0002_0001", "feature button cap", "the query", "0xc0110004", "0x110000", kFeaturePadding},
    {"1532_00A3_0002_0001", "feature button cap", "count", "0", "1", kFeaturePadding},
};

bool Matches(const char* pattern, const std::string& text) { return std::strcmp(pattern, "*") == 0 || text == pattern; }

bool Matches(const KnownDifference& known, const Difference& difference) {
  return difference.collection == known.collection && Matches(known.where, difference.where) &&
         Matches(known.member, difference.member) && Matches(known.windows, difference.windows) &&
         Matches(known.wine, difference.actual);
}

}  // namespace

bool WineRefuses(const std::string& collection) {
  for (const KnownDifference& known : kKnown)
    if (collection == known.collection && known.wine == kRefusedByWine) return true;
  return false;
}

WineDifferenceTally::WineDifferenceTally() : met_(std::size(kKnown), 0) {}

bool WineDifferenceTally::Expected(const Difference& difference) {
  for (std::size_t i = 0; i < std::size(kKnown); ++i)
    if (Matches(kKnown[i], difference)) {
      ++met_[i];
      return true;
    }
  return false;
}

std::string WineDifferenceTally::Unmet() const {
  std::string text;
  for (std::size_t i = 0; i < std::size(kKnown); ++i)
    if (met_[i] == 0)
      text += Difference{kKnown[i].collection, kKnown[i].where, kKnown[i].member, kKnown[i].wine, kKnown[i].windows}
                  .Text() +
              "\n";
  return text;
}

std::string WineDifferenceTally::Summary() const {
  std::map<std::string, int> byReason;
  for (std::size_t i = 0; i < std::size(kKnown); ++i) byReason[kKnown[i].reason] += met_[i];
  std::string text;
  for (const auto& [reason, count] : byReason) text += "  " + std::to_string(count) + " as Wine 8 gives " + reason + "\n";
  return text;
}

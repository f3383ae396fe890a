// The files show Windows' preparsed data, from which the public answers
// follow: the button caps of a kind are its preparsed caps with IsButtonCap
// set, in order, the value caps the others; each copies the cap's members
// of the same name. HIDP_CAPS counts those caps, and a kind's data indices
// run from 0 to the highest index a cap holds. Windows reserves room for a
// cap it then leaves empty (NumberOfCaps beyond LastCap: a constant input
// field with a usage, or a usage with no field left): only caps up to
// LastCap are listed.
#include "caps_comparison.h"

#include <algorithm>
#include <functional>
#include <sstream>
#include <type_traits>

std::string Difference::Text() const { return collection + " " + where + ": " + member + " is " + actual + ", Windows " + windows; }

namespace {

// Windows XP's headers, which the Windows build has, give button caps no
// ReportCount; value caps have one everywhere.
template <class Caps, class = void>
struct CountsItsFields : std::false_type {};
template <class Caps>
struct CountsItsFields<Caps, std::void_t<decltype(Caps::ReportCount)>> : std::true_type {};

const HIDP_REPORT_TYPE kReportTypes[] = {HidP_Input, HidP_Output, HidP_Feature};
const char* const kKindNames[] = {"input", "output", "feature"};

// What Windows answered for one collection, as the public functions give it.
struct WindowsAnswers {
  HIDP_CAPS caps{};
  std::vector<HIDP_BUTTON_CAPS> buttons[3];
  std::vector<HIDP_VALUE_CAPS> values[3];
  std::vector<HIDP_LINK_COLLECTION_NODE> nodes;
};

template <class PublicCaps>
void FillCommon(PublicCaps& out, const std::function<long long(const char*)>& field) {
  out.UsagePage = static_cast<USAGE>(field("UsagePage"));
  out.ReportID = static_cast<UCHAR>(field("ReportID"));
  out.IsAlias = static_cast<BOOLEAN>(field("IsAlias"));
  out.BitField = static_cast<USHORT>(field("BitField"));
  out.LinkCollection = static_cast<USHORT>(field("LinkCollection"));
  out.LinkUsage = static_cast<USAGE>(field("LinkUsage"));
  out.LinkUsagePage = static_cast<USAGE>(field("LinkUsagePage"));
  out.IsRange = static_cast<BOOLEAN>(field("IsRange"));
  out.IsStringRange = static_cast<BOOLEAN>(field("IsStringRange"));
  out.IsDesignatorRange = static_cast<BOOLEAN>(field("IsDesignatorRange"));
  out.IsAbsolute = static_cast<BOOLEAN>(field("IsAbsolute"));
  if constexpr (CountsItsFields<PublicCaps>::value) out.ReportCount = static_cast<USHORT>(field("ReportCount"));
  auto word = [&](const char* name) { return static_cast<USHORT>(field(name)); };
  if (out.IsRange) {
    out.Range = {word("Range.UsageMin"),      word("Range.UsageMax"),      word("Range.StringMin"),
                 word("Range.StringMax"),     word("Range.DesignatorMin"), word("Range.DesignatorMax"),
                 word("Range.DataIndexMin"),  word("Range.DataIndexMax")};
  } else {
    out.NotRange = {};
    out.NotRange.Usage = word("NotRange.Usage");
    out.NotRange.StringIndex = word("NotRange.StringIndex");
    out.NotRange.DesignatorIndex = word("NotRange.DesignatorIndex");
    out.NotRange.DataIndex = word("NotRange.DataIndex");
  }
}

HIDP_VALUE_CAPS ValueCapsFrom(const std::function<long long(const char*)>& field) {
  HIDP_VALUE_CAPS out{};
  FillCommon(out, field);
  out.HasNull = static_cast<BOOLEAN>(field("NotButton.HasNull"));
  out.BitSize = static_cast<USHORT>(field("BitSize"));
  out.UnitsExp = static_cast<ULONG>(field("UnitsExp"));
  out.Units = static_cast<ULONG>(field("Units"));
  out.LogicalMin = static_cast<LONG>(field("NotButton.LogicalMin"));
  out.LogicalMax = static_cast<LONG>(field("NotButton.LogicalMax"));
  out.PhysicalMin = static_cast<LONG>(field("NotButton.PhysicalMin"));
  out.PhysicalMax = static_cast<LONG>(field("NotButton.PhysicalMax"));
  return out;
}

template <class PublicCaps>
USHORT DataIndicesAfter(USHORT indices, const PublicCaps& caps) {
  const USHORT last = caps.IsRange ? caps.Range.DataIndexMax : caps.NotRange.DataIndex;
  return std::max(indices, static_cast<USHORT>(last + 1));
}

WindowsAnswers AnswersOf(const WindowsCollection& windows) {
  WindowsAnswers answers;
  HIDP_CAPS& caps = answers.caps;
  caps.Usage = static_cast<USAGE>(windows.Preparsed("Usage"));
  caps.UsagePage = static_cast<USAGE>(windows.Preparsed("UsagePage"));
  USHORT* lengths[] = {&caps.InputReportByteLength, &caps.OutputReportByteLength, &caps.FeatureReportByteLength};
  USHORT* buttonCounts[] = {&caps.NumberInputButtonCaps, &caps.NumberOutputButtonCaps, &caps.NumberFeatureButtonCaps};
  USHORT* valueCounts[] = {&caps.NumberInputValueCaps, &caps.NumberOutputValueCaps, &caps.NumberFeatureValueCaps};
  USHORT* indexCounts[] = {&caps.NumberInputDataIndices, &caps.NumberOutputDataIndices,
                           &caps.NumberFeatureDataIndices};
  for (int kind = 0; kind < 3; ++kind) {
    const std::string info = "caps_info[" + std::to_string(kind) + "]->";
    *lengths[kind] = static_cast<USHORT>(windows.Preparsed(info + "ReportByteLength"));
    const long long first = windows.Preparsed(info + "FirstCap");
    const long long last = windows.Preparsed(info + "LastCap");
    for (long long index = first; index < last; ++index) {
      const std::string prefix = "cap[" + std::to_string(index) + "]->";
      auto field = [&](const char* name) { return windows.Preparsed(prefix + name); };
      if (field("IsButtonCap")) {
        HIDP_BUTTON_CAPS button{};
        FillCommon(button, field);
        answers.buttons[kind].push_back(button);
        *indexCounts[kind] = DataIndicesAfter(*indexCounts[kind], button);
      } else {
        answers.values[kind].push_back(ValueCapsFrom(field));
        *indexCounts[kind] = DataIndicesAfter(*indexCounts[kind], answers.values[kind].back());
      }
    }
    *buttonCounts[kind] = static_cast<USHORT>(answers.buttons[kind].size());
    *valueCounts[kind] = static_cast<USHORT>(answers.values[kind].size());
  }
  caps.NumberLinkCollectionNodes = static_cast<USHORT>(windows.Preparsed("NumberLinkCollectionNodes"));
  for (USHORT index = 0; index < caps.NumberLinkCollectionNodes; ++index) {
    const std::string prefix = "LinkCollectionArray[" + std::to_string(index) + "]->";
    auto field = [&](const char* name) { return windows.Preparsed(prefix + name); };
    HIDP_LINK_COLLECTION_NODE node{};
    node.LinkUsage = static_cast<USAGE>(field("LinkUsage"));
    node.LinkUsagePage = static_cast<USAGE>(field("LinkUsagePage"));
    node.Parent = static_cast<USHORT>(field("Parent"));
    node.NumberOfChildren = static_cast<USHORT>(field("NumberOfChildren"));
    node.NextSibling = static_cast<USHORT>(field("NextSibling"));
    node.FirstChild = static_cast<USHORT>(field("FirstChild"));
    node.CollectionType = static_cast<ULONG>(field("CollectionType")) & 0xFF;
    node.IsAlias = static_cast<ULONG>(field("IsAlias")) & 1;
    answers.nodes.push_back(node);
  }
  return answers;
}

// Every member that differs, naming where.
class Differences {
 public:
  explicit Differences(std::string collection) : collection_(std::move(collection)) {}
  template <class T>
  void Check(const std::string& where, const char* member, T actual, T expected) {
    if (actual == expected) return;
    Add(where, member, Printed(+actual), Printed(+expected));
  }
  void CheckStatus(const std::string& where, const char* function, NTSTATUS actual, NTSTATUS expected) {
    if (actual == expected) return;
    Add(where, function, Hex(actual), Hex(expected));
  }
  std::vector<Difference> Take() { return std::move(found_); }

 private:
  template <class T>
  static std::string Printed(T value) {
    std::ostringstream text;
    text << value;
    return text.str();
  }
  static std::string Hex(NTSTATUS status) {
    std::ostringstream text;
    text << "0x" << std::hex << static_cast<ULONG>(status);
    return text.str();
  }
  void Add(const std::string& where, const char* member, std::string actual, std::string windows) {
    found_.push_back({collection_, where, member, std::move(actual), std::move(windows)});
  }

  std::string collection_;
  std::vector<Difference> found_;
};

#define CHECK_MEMBER(where, member) differences.Check(where, #member, actual.member, expected.member)

void CompareCaps(Differences& differences, const std::string& where, const HIDP_CAPS& actual,
                 const HIDP_CAPS& expected) {
  CHECK_MEMBER(where, Usage);
  CHECK_MEMBER(where, UsagePage);
  CHECK_MEMBER(where, InputReportByteLength);
  CHECK_MEMBER(where, OutputReportByteLength);
  CHECK_MEMBER(where, FeatureReportByteLength);
  CHECK_MEMBER(where, NumberLinkCollectionNodes);
  CHECK_MEMBER(where, NumberInputButtonCaps);
  CHECK_MEMBER(where, NumberInputValueCaps);
  CHECK_MEMBER(where, NumberInputDataIndices);
  CHECK_MEMBER(where, NumberOutputButtonCaps);
  CHECK_MEMBER(where, NumberOutputValueCaps);
  CHECK_MEMBER(where, NumberOutputDataIndices);
  CHECK_MEMBER(where, NumberFeatureButtonCaps);
  CHECK_MEMBER(where, NumberFeatureValueCaps);
  CHECK_MEMBER(where, NumberFeatureDataIndices);
}

template <class PublicCaps>
void CompareCommon(Differences& differences, const std::string& where, const PublicCaps& actual,
                   const PublicCaps& expected) {
  CHECK_MEMBER(where, UsagePage);
  CHECK_MEMBER(where, ReportID);
  CHECK_MEMBER(where, IsAlias);
  CHECK_MEMBER(where, BitField);
  CHECK_MEMBER(where, LinkCollection);
  CHECK_MEMBER(where, LinkUsage);
  CHECK_MEMBER(where, LinkUsagePage);
  CHECK_MEMBER(where, IsRange);
  CHECK_MEMBER(where, IsStringRange);
  CHECK_MEMBER(where, IsDesignatorRange);
  CHECK_MEMBER(where, IsAbsolute);
  if constexpr (CountsItsFields<PublicCaps>::value) CHECK_MEMBER(where, ReportCount);
  if (actual.IsRange != expected.IsRange) return;
  if (expected.IsRange) {
    CHECK_MEMBER(where, Range.UsageMin);
    CHECK_MEMBER(where, Range.UsageMax);
    CHECK_MEMBER(where, Range.StringMin);
    CHECK_MEMBER(where, Range.StringMax);
    CHECK_MEMBER(where, Range.DesignatorMin);
    CHECK_MEMBER(where, Range.DesignatorMax);
    CHECK_MEMBER(where, Range.DataIndexMin);
    CHECK_MEMBER(where, Range.DataIndexMax);
  } else {
    CHECK_MEMBER(where, NotRange.Usage);
    CHECK_MEMBER(where, NotRange.StringIndex);
    CHECK_MEMBER(where, NotRange.DesignatorIndex);
    CHECK_MEMBER(where, NotRange.DataIndex);
  }
}

void CompareValueCaps(Differences& differences, const std::string& where, const HIDP_VALUE_CAPS& actual,
                      const HIDP_VALUE_CAPS& expected) {
  CompareCommon(differences, where, actual, expected);
  CHECK_MEMBER(where, HasNull);
  CHECK_MEMBER(where, BitSize);
  CHECK_MEMBER(where, UnitsExp);
  CHECK_MEMBER(where, Units);
  CHECK_MEMBER(where, LogicalMin);
  CHECK_MEMBER(where, LogicalMax);
  CHECK_MEMBER(where, PhysicalMin);
  CHECK_MEMBER(where, PhysicalMax);
}

void CompareNode(Differences& differences, const std::string& where, const HIDP_LINK_COLLECTION_NODE& actual,
                 const HIDP_LINK_COLLECTION_NODE& expected) {
  CHECK_MEMBER(where, LinkUsage);
  CHECK_MEMBER(where, LinkUsagePage);
  CHECK_MEMBER(where, Parent);
  CHECK_MEMBER(where, NumberOfChildren);
  CHECK_MEMBER(where, NextSibling);
  CHECK_MEMBER(where, FirstChild);
  differences.Check(where, "CollectionType", ULONG{actual.CollectionType}, ULONG{expected.CollectionType});
  differences.Check(where, "IsAlias", ULONG{actual.IsAlias}, ULONG{expected.IsAlias});
}

#undef CHECK_MEMBER

template <class PublicCaps, class Compare>
void CompareList(Differences& differences, const std::string& where, NTSTATUS status,
                 const std::vector<PublicCaps>& actual, const std::vector<PublicCaps>& expected, Compare compare) {
  const NTSTATUS expectedStatus = expected.empty() ? HIDP_STATUS_USAGE_NOT_FOUND : HIDP_STATUS_SUCCESS;
  differences.CheckStatus(where, "the query", status, expectedStatus);
  differences.Check(where, "count", actual.size(), expected.size());
  // A query that failed otherwise filled nothing worth comparing.
  if (status != expectedStatus) return;
  for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
    compare(differences, where + " " + std::to_string(i), actual[i], expected[i]);
}

}  // namespace

std::vector<Difference> CompareCollection(const WindowsCollection& windows, PHIDP_PREPARSED_DATA preparsed) {
  Differences differences(windows.name);
  const WindowsAnswers expected = AnswersOf(windows);
  HIDP_CAPS caps{};
  differences.CheckStatus("HidP_GetCaps", "the query", HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
  CompareCaps(differences, "HIDP_CAPS", caps, expected.caps);
  for (int kind = 0; kind < 3; ++kind) {
    const std::string kindName = kKindNames[kind];
    std::vector<HIDP_BUTTON_CAPS> buttons(expected.buttons[kind].size() + 1);
    auto length = static_cast<USHORT>(buttons.size());
    const NTSTATUS buttonStatus = HidP_GetButtonCaps(kReportTypes[kind], buttons.data(), &length, preparsed);
    buttons.resize(length);
    CompareList(differences, kindName + " button cap", buttonStatus, buttons, expected.buttons[kind],
                CompareCommon<HIDP_BUTTON_CAPS>);
    std::vector<HIDP_VALUE_CAPS> values(expected.values[kind].size() + 1);
    length = static_cast<USHORT>(values.size());
    const NTSTATUS valueStatus = HidP_GetValueCaps(kReportTypes[kind], values.data(), &length, preparsed);
    values.resize(length);
    CompareList(differences, kindName + " value cap", valueStatus, values, expected.values[kind], CompareValueCaps);
  }
  std::vector<HIDP_LINK_COLLECTION_NODE> nodes(expected.nodes.size() + 1);
  auto nodeCount = static_cast<ULONG>(nodes.size());
  const NTSTATUS nodeStatus = HidP_GetLinkCollectionNodes(nodes.data(), &nodeCount, preparsed);
  differences.CheckStatus("HidP_GetLinkCollectionNodes", "the query", nodeStatus, HIDP_STATUS_SUCCESS);
  nodes.resize(nodeCount);
  differences.Check("HidP_GetLinkCollectionNodes", "count", nodes.size(), expected.nodes.size());
  if (nodeStatus != HIDP_STATUS_SUCCESS) return differences.Take();
  for (std::size_t i = 0; i < std::min(nodes.size(), expected.nodes.size()); ++i)
    CompareNode(differences, "link collection node " + std::to_string(i), nodes[i], expected.nodes[i]);
  return differences.Take();
}

#include "report_descriptor.h"

namespace {

// Short items: the tag and type in the prefix, then 0, 1 or 2 data bytes.
constexpr std::uint8_t kUsagePage = 0x04;
constexpr std::uint8_t kUsage = 0x08;
constexpr std::uint8_t kLogicalMinimum = 0x14;
constexpr std::uint8_t kLogicalMaximum = 0x24;
constexpr std::uint8_t kReportSize = 0x74;
constexpr std::uint8_t kReportId = 0x84;
constexpr std::uint8_t kReportCount = 0x94;
constexpr std::uint8_t kInput = 0x80;
constexpr std::uint8_t kOutput = 0x90;
constexpr std::uint8_t kFeature = 0xB0;
constexpr std::uint8_t kCollection = 0xA0;
constexpr std::uint8_t kEndCollection = 0xC0;
constexpr std::uint8_t kApplication = 0x01;
constexpr std::uint8_t kDataVariableAbsolute = 0x02;

// With the shortest data that holds the value; unsigned values that would
// read as negative take a byte more.
void Item(std::vector<std::uint8_t>& descriptor, std::uint8_t prefix, std::uint16_t value) {
  if (value <= 0x7F) {
    descriptor.insert(descriptor.end(), {static_cast<std::uint8_t>(prefix | 1), static_cast<std::uint8_t>(value)});
  } else {
    descriptor.insert(descriptor.end(), {static_cast<std::uint8_t>(prefix | 2), static_cast<std::uint8_t>(value & 0xFF),
                                         static_cast<std::uint8_t>(value >> 8)});
  }
}

// Every report of the kind carries length - 1 bytes after its ID.
void Reports(std::vector<std::uint8_t>& descriptor, std::uint8_t main, std::uint16_t length,
             const std::vector<std::uint8_t>& ids) {
  if (length < 2) return;
  const auto field = [&] {
    Item(descriptor, kReportCount, static_cast<std::uint16_t>(length - 1));
    Item(descriptor, kUsage, 1);
    Item(descriptor, main, kDataVariableAbsolute);
  };
  if (ids.empty()) field();
  for (const std::uint8_t id : ids) {
    Item(descriptor, kReportId, id);
    field();
  }
}

}  // namespace

std::vector<std::uint8_t> MakeReportDescriptor(const ReportLayout& layout) {
  std::vector<std::uint8_t> descriptor;
  Item(descriptor, kUsagePage, layout.usagePage);
  Item(descriptor, kUsage, layout.usage);
  Item(descriptor, kCollection, kApplication);
  Item(descriptor, kLogicalMinimum, 0);
  Item(descriptor, kLogicalMaximum, 0xFF);
  Item(descriptor, kReportSize, 8);
  Reports(descriptor, kInput, layout.inputLength, layout.inputIds);
  Reports(descriptor, kOutput, layout.outputLength, layout.outputIds);
  Reports(descriptor, kFeature, layout.featureLength, layout.featureIds);
  descriptor.push_back(kEndCollection);
  return descriptor;
}

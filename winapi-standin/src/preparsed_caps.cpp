#include "preparsed_caps.h"

#include <algorithm>

namespace standin::detail {

namespace {

struct KindCounts {
  USHORT buttonCaps;
  USHORT valueCaps;
  USHORT dataIndices;
};

KindCounts CountsOf(const ParsedReports& reports) {
  const auto buttons =
      std::count_if(reports.caps.begin(), reports.caps.end(), [](const ParsedCap& cap) { return cap.isButton; });
  return {static_cast<USHORT>(buttons), static_cast<USHORT>(reports.caps.size() - static_cast<std::size_t>(buttons)),
          reports.dataIndices};
}

// The members the two public structures share, which they lay out alike.
template <class PublicCaps>
PublicCaps CommonPart(const ParsedCap& cap) {
  PublicCaps out{};
  out.UsagePage = cap.usage.page;
  out.ReportID = cap.reportId;
  out.BitField = cap.bitField;
  out.LinkCollection = cap.linkCollection;
  out.LinkUsage = cap.linkUsage;
  out.LinkUsagePage = cap.linkUsagePage;
  out.IsRange = cap.usage.isRange;
  out.IsStringRange = cap.string.isRange;
  out.IsDesignatorRange = cap.designator.isRange;
  out.IsAbsolute = cap.IsAbsolute();
  out.ReportCount = cap.reportCount;
  if (cap.usage.isRange) {
    out.Range = {cap.usage.min, cap.usage.max, cap.string.min, cap.string.max,
                 cap.designator.min, cap.designator.max, cap.dataIndexMin, cap.dataIndexMax};
  } else {
    out.NotRange = {};
    out.NotRange.Usage = cap.usage.min;
    out.NotRange.StringIndex = cap.string.min;
    out.NotRange.DesignatorIndex = cap.designator.min;
    out.NotRange.DataIndex = cap.dataIndexMin;
  }
  return out;
}

}  // namespace

HIDP_CAPS CapsOf(const ParsedCollection& collection) {
  HIDP_CAPS caps{};
  caps.Usage = collection.usage;
  caps.UsagePage = collection.usagePage;
  caps.InputReportByteLength = collection.Of(HidP_Input).byteLength;
  caps.OutputReportByteLength = collection.Of(HidP_Output).byteLength;
  caps.FeatureReportByteLength = collection.Of(HidP_Feature).byteLength;
  caps.NumberLinkCollectionNodes = static_cast<USHORT>(collection.linkNodes.size());
  const KindCounts input = CountsOf(collection.Of(HidP_Input));
  const KindCounts output = CountsOf(collection.Of(HidP_Output));
  const KindCounts feature = CountsOf(collection.Of(HidP_Feature));
  caps.NumberInputButtonCaps = input.buttonCaps;
  caps.NumberInputValueCaps = input.valueCaps;
  caps.NumberInputDataIndices = input.dataIndices;
  caps.NumberOutputButtonCaps = output.buttonCaps;
  caps.NumberOutputValueCaps = output.valueCaps;
  caps.NumberOutputDataIndices = output.dataIndices;
  caps.NumberFeatureButtonCaps = feature.buttonCaps;
  caps.NumberFeatureValueCaps = feature.valueCaps;
  caps.NumberFeatureDataIndices = feature.dataIndices;
  return caps;
}

HIDP_BUTTON_CAPS ButtonCapsOf(const ParsedCap& cap) { return CommonPart<HIDP_BUTTON_CAPS>(cap); }

HIDP_VALUE_CAPS ValueCapsOf(const ParsedCap& cap) {
  HIDP_VALUE_CAPS out = CommonPart<HIDP_VALUE_CAPS>(cap);
  out.HasNull = cap.HasNull();
  out.BitSize = cap.bitSize;
  out.UnitsExp = cap.unitsExp;
  out.Units = cap.units;
  out.LogicalMin = cap.logicalMin;
  out.LogicalMax = cap.logicalMax;
  out.PhysicalMin = cap.physicalMin;
  out.PhysicalMax = cap.physicalMax;
  return out;
}

}  // namespace standin::detail

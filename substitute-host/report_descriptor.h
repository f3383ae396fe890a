// A HID report descriptor made from the properties a script gives a device:
// one application collection with the usage page and usage, and for each
// kind of report as many bytes as its length, per report ID when the device
// numbers them. What Windows' HID parser makes of it are the same lengths,
// usage page and usage the stand-in's caps take.
#pragma once

#include <cstdint>
#include <vector>

struct ReportLayout {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  // Report lengths as HIDP_CAPS tells them: the report ID byte included, 0
  // for none of that kind.
  std::uint16_t inputLength = 0;
  std::uint16_t outputLength = 0;
  std::uint16_t featureLength = 0;
  // None: the device does not number reports of that kind.
  std::vector<std::uint8_t> inputIds;
  std::vector<std::uint8_t> outputIds;
  std::vector<std::uint8_t> featureIds;
};

std::vector<std::uint8_t> MakeReportDescriptor(const ReportLayout& layout);

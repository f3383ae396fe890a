// What a collection tells of its reports and controls, as GetCapabilities
// and FindHidDevices show it: the HID library's capabilities record without
// its header, which only the device layer includes.
#pragma once

#include <cstdint>

struct CollectionCapabilities {
  uint16_t Usage = 0;
  uint16_t UsagePage = 0;
  uint16_t InputReportByteLength = 0;
  uint16_t OutputReportByteLength = 0;
  uint16_t FeatureReportByteLength = 0;
  uint16_t NumberLinkCollectionNodes = 0;
  uint16_t NumberInputButtonCaps = 0;
  uint16_t NumberInputValueCaps = 0;
  uint16_t NumberInputDataIndices = 0;
  uint16_t NumberOutputButtonCaps = 0;
  uint16_t NumberOutputValueCaps = 0;
  uint16_t NumberOutputDataIndices = 0;
  uint16_t NumberFeatureButtonCaps = 0;
  uint16_t NumberFeatureValueCaps = 0;
  uint16_t NumberFeatureDataIndices = 0;
};

// A simulated collection that numbers its reports: input reports 1 and 2,
// output report 3, feature reports 4 and 5, of the given lengths.
#pragma once

#include "standin/simulated_bus.h"

inline standin::DeviceSpec WithNumberedReports(standin::DeviceSpec traits, USHORT inputLength, USHORT outputLength,
                                               USHORT featureLength) {
  traits.caps.InputReportByteLength = inputLength;
  traits.caps.OutputReportByteLength = outputLength;
  traits.caps.FeatureReportByteLength = featureLength;
  traits.inputReportIds = {1, 2};
  traits.outputReportIds = {3};
  traits.featureReportIds = {4, 5};
  return traits;
}

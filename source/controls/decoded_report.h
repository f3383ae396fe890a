// A report read by name, and values to write by name: neutral records that
// the script side fills and reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/control.h"

struct DecodedControl {
  enum class Shape { Number, Null, Usages, Numbers };
  const Control* control;  // the device's, valid until it closes
  Shape shape;
  int32_t number;
  std::vector<std::string> usages;  // an array's, by name
  std::vector<int32_t> numbers;     // a value array's
};

struct DecodedReport {
  uint8_t reportId = 0;
  std::vector<DecodedControl> controls;  // in report order
};

// One entry of WriteUsages' or SetFeatureUsages' property list.
struct NamedValue {
  std::string name;
  bool isList = false;
  int32_t number = 0;
  std::vector<std::string> usages;  // what an array is to hold, by name
};

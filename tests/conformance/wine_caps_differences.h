// What Wine 8's HID stack answers otherwise than Windows for the real
// collections of ../shared/hid-descriptors, each difference by name: the
// collection, the answer and member, Windows' value and Wine's, and why.
#pragma once

#include <string>
#include <vector>

#include "caps_comparison.h"

// What a collection that Wine is not asked to make shows in place of
// "plugged".
extern const char* const kRefusedByWine;

// Whether the device of the collection is left unplugged under Wine, which
// would not make it.
bool WineRefuses(const std::string& collection);

// Tells the differences met from the list, and which listed ones were not.
class WineDifferenceTally {
 public:
  WineDifferenceTally();
  // Whether the list holds the difference; counts it met.
  bool Expected(const Difference& difference);
  // The listed differences not met, one a line.
  std::string Unmet() const;
  // How many were met, by reason, one a line.
  std::string Summary() const;

 private:
  std::vector<int> met_;
};

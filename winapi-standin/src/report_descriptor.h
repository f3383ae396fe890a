// A HID report descriptor parsed as Windows' HID parser parses it.
#pragma once

#include <cstdint>
#include <vector>

#include "parsed_collection.h"

namespace standin::detail {

// One entry per top-level collection, in the order the descriptor declares
// them. Throws std::invalid_argument for a descriptor Windows would not
// take: an item cut off, a collection left open or closed twice, a main item
// outside any collection, Pop without Push, a usage minimum without its
// maximum, report ID 0, unnumbered reports beside numbered ones or in a
// device of several top-level collections, a report ID two top-level
// collections share, or counts past Windows' 16-bit fields.
std::vector<ParsedCollection> ParseReportDescriptor(const std::vector<std::uint8_t>& descriptor);

}  // namespace standin::detail

// A parsed collection as hid.dll's public structures show it.
#pragma once

#include "parsed_collection.h"
#include "standin/hid.h"

namespace standin::detail {

HIDP_CAPS CapsOf(const ParsedCollection& collection);
HIDP_BUTTON_CAPS ButtonCapsOf(const ParsedCap& cap);
HIDP_VALUE_CAPS ValueCapsOf(const ParsedCap& cap);

}  // namespace standin::detail

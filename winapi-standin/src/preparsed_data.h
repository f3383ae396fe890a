// What HidD_GetPreparsedData hands out. On Windows a pointer to memory the
// caller frees with HidD_FreePreparsedData; here a handle, so that a stale
// or foreign pointer is recognised instead of read.
#pragma once

#include <memory>

#include "kernel_state.h"
#include "parsed_collection.h"
#include "standin/hid.h"

namespace standin::detail {

struct PreparsedCaps : KernelObject {
  static constexpr ObjectKind kKind = ObjectKind::PreparsedData;
  PreparsedCaps(const HIDP_CAPS& deviceCaps, std::shared_ptr<const ParsedCollection> parsedCollection)
      : KernelObject(kKind), caps(deviceCaps), parsed(std::move(parsedCollection)) {}
  const HIDP_CAPS caps;
  // Null for a collection plugged from caps alone.
  const std::shared_ptr<const ParsedCollection> parsed;
};

}  // namespace standin::detail

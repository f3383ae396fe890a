// What an application that talks to the HID library directly does, call by
// call, for each thing the opens and listings of the Xtra do: the figures the
// Xtra's own are held against. Each answers false when a call failed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform.h"

namespace bare {

// What a walk over the HID interfaces reads of each.
enum class Reading { Ids, IdsAndStrings, IdsStringsAndCaps };

// Walks the present HID interfaces and opens each, reading `reading`;
// answers how many it read.
int Walk(Reading reading);

// The handles an open needs: one for writes and requests, one for the
// reader; both closed when it goes.
struct OpenDevice {
  HANDLE device = INVALID_HANDLE_VALUE;
  HANDLE reader = INVALID_HANDLE_VALUE;
  ~OpenDevice();
};

// Walks until the interface with these ids (or, when `product` is not
// empty, this product string) and opens it as the Xtra does: its
// attributes, preparsed data and caps, and the reader's handle.
bool OpenFirst(uint16_t vendorId, uint16_t productId, const std::string& product, OpenDevice& open);
// The same for one path, without the walk.
bool OpenPath(const std::string& path, OpenDevice& open);

// One overlapped report request (IOCTL_HID_GET_FEATURE and the like) with
// an event of its own, waited for as the Xtra waits.
class ReportRequest {
 public:
  ReportRequest();
  ~ReportRequest();
  bool Get(HANDLE device, DWORD code, uint8_t reportId, uint32_t length);

 private:
  HANDLE event_;
  std::vector<uint8_t> bytes_;
};

}  // namespace bare

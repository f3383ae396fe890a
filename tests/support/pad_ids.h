// The game pad that most tests plug into the simulated bus: its ids and the
// length of its reports, as the bus takes them and as a movie writes them.
#pragma once

#include <cstdint>

constexpr std::uint16_t kPadVendorId = 0x046D;
constexpr std::uint16_t kPadProductId = 0xC52B;
// Its reports are unnumbered, so a packet is a whole report of this length.
constexpr std::uint16_t kPadReportLength = 9;
// OpenById's and MonitorDevice's first two arguments for the pad, in the
// decimal that Lingo prints.
constexpr char kPadIds[] = "1133, 50475";

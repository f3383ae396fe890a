// An input report built by usage, as a test device would send it:
// `send pad [#X: 100, #Button1: 1]`. Names are the Xtra's: a usage's name
// from the HID Usage Tables, or U_PPPP_UUUU. The device's collection is
// asked through the HID library, the stand-in's or Windows' own.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lingo_values.h"

// Every control named set, every other at zero or its null value, in the
// report that holds the first, for the collection at `devicePath`; false, with why in `error`, for a name the
// device's input reports lack, a value that is no integer, or controls of
// two reports.
bool BuildInputReport(const std::string& devicePath,
                      const std::vector<std::pair<std::string, const LingoValue*>>& properties,
                      std::vector<uint8_t>& report, std::string& error);

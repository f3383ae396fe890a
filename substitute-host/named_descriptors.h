// Report descriptors a script can plug a simulated device from: a list of
// bytes, or the name of one an author rehearses with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lingo_values.h"

// #gamepad: 16 buttons, X, Y, Z, Rx, Ry, Rz from -32767 to 32767 and a hat
// in 64-byte input reports, and two vendor values to drive its motors.
// #keyboard: a boot keyboard, with its five LEDs in output reports.
// #buttonBox: 8 buttons (report 1), red, green, amber and generic lamps
// (output report 2), a brightness of 0 to 100 (feature report 3).
// False, with why in `error`, for anything else.
bool DescriptorOf(const LingoValue& value, const LingoValueStore& values, std::vector<uint8_t>& descriptor,
                  std::string& error);

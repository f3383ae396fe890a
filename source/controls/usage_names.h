// Lingo names of HID usages: the HID Usage Tables' names, words joined and
// capitalised, for the pages a movie meets most (Generic Desktop,
// Simulation, Game Controls, Keyboard/Keypad, LED, Button, Consumer,
// Digitizer); any other usage is U_PPPP_UUUU in hex.
#pragma once

#include <cstdint>
#include <string>

std::string UsageName(uint16_t page, uint16_t usage);
// The name of an array field: its usage page's ("Keyboard", "Consumer"),
// or U_PPPP for a page without one.
std::string PageName(uint16_t page);
// Whether two names are the same to Lingo, whose symbols ignore letter case.
bool SameName(const std::string& a, const std::string& b);

// Lingo values as the message window prints them, and back.
//
// Printed: 5, -3, 1.5000 (four decimals), "text", #name, [1, 2], [],
// [#VendorID: 1133, #Product: "Pad"], [:], <Void>, <Picture>,
// <Object HidBridge 1>, <Xtra "HidBridge">. Strings show as the host's
// encoding shows them, and read from UTF-8 into it. A quote mark inside a string is written as Lingo
// writes one: "a" & QUOTE & "b"; a string of only quote marks is QUOTE & QUOTE.
//
// Read: all of the above but objects, with any whitespace between tokens;
// VOID (any case) for void, and any "..." or QUOTE joined by &; also hex
// integers (0x046D) and TRUE and FALSE, which Lingo knows as 1 and 0.
#pragma once

#include <string>
#include <vector>

#include "lingo_values.h"

std::string FormatLiteral(const LingoValueStore& values, const director::MoaMmValue& value);
// "1, "A", [2, 3]": the form of an argument list.
std::string FormatLiterals(const LingoValueStore& values, const director::MoaMmValue* list, size_t count);

// Each value read carries one reference for the caller. On failure nothing
// is left alive and error tells what was expected at which column (from 1).
bool ParseLiteral(LingoValueStore& values, const std::string& text, director::MoaMmValue* value, std::string* error);
// The one literal at the start of text (after any whitespace); consumed
// tells where it ended, so that a caller can read what follows.
bool ParseLeadingLiteral(LingoValueStore& values, const std::string& text, director::MoaMmValue* value,
                         size_t* consumed, std::string* error);
// A comma-separated list, possibly empty.
bool ParseLiterals(LingoValueStore& values, const std::string& text, std::vector<director::MoaMmValue>* list,
                   std::string* error);

// Which encoding Director speaks, and the one place where the Xtra converts
// between it and the UTF-16 of Windows: device strings, system texts, dialogs
// and the product names scripts look for.
#pragma once

#include <cstddef>

#include "moa_contract.h"
#include "platform.h"

// Asks Director for its version: 11 and later speak UTF-8, earlier versions
// the system's ANSI code page. A Director that does not say is taken as a
// recent one. The answer holds for the whole process.
void LearnHostEncoding(IMoaCallback* callback);
UINT HostCodePage();

// Never more than `size` bytes, always terminated, cut only between whole
// characters; a text that cannot be converted becomes empty.
void WideToHostText(const WCHAR* wide, char* text, size_t size);
// The same, but false (and empty) unless the text comes back from the
// host's encoding as it was: a character the encoding lacks would be
// replaced by another and name something else. Throws std::bad_alloc.
bool WideToHostTextExactly(const WCHAR* wide, char* text, size_t size);
// Never more than `units` units, always terminated; false (and empty) when
// the text does not fit.
bool HostTextToWide(const char* text, WCHAR* wide, size_t units);

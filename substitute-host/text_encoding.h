// The two encodings a Director host speaks (UTF-8 from Director 11 on, the
// ANSI code page before: Windows-1252 here) and the conversions between them
// and the UTF-8 of scripts and transcripts.
#pragma once

#include <string>

#include "host_windows.h"

enum class TextEncoding { kUtf8, kWindows1252 };

bool IsUtf8(const std::string& bytes);
// Host bytes as UTF-8 for a transcript: what a host of that encoding would
// show. Bytes that are no UTF-8 show as U+FFFD.
std::string ShownText(const std::string& hostBytes, TextEncoding encoding);
// UTF-8 from a script as the host would hand it to the Xtra; a character the
// code page lacks becomes '?', as Windows converts it.
std::string HostText(const std::string& utf8, TextEncoding encoding);
// Between UTF-8 and Windows' UTF-16, through the system's own conversions:
// a zero-terminated text such as MessageBoxW's, and the strings of a device.
std::string Utf8FromUtf16(LPCWSTR text);
std::u16string Utf16FromUtf8(const std::string& text);

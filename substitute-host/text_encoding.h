// The two encodings a Director host speaks (UTF-8 from Director 11 on, the
// ANSI code page before: Windows-1252 here) and the conversions between them
// and the UTF-8 of scripts and transcripts.
#pragma once

#include <string>

enum class TextEncoding { kUtf8, kWindows1252 };

bool IsUtf8(const std::string& bytes);
// Host bytes as UTF-8 for a transcript: what a host of that encoding would
// show. Bytes that are no UTF-8 show as U+FFFD.
std::string ShownText(const std::string& hostBytes, TextEncoding encoding);
// UTF-8 from a script as the host would hand it to the Xtra; a character the
// code page lacks becomes '?', as Windows converts it.
std::string HostText(const std::string& utf8, TextEncoding encoding);

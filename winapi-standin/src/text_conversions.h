// Conversions the stand-in makes for itself, where a wide name or path meets
// the UTF-8 it keeps names in: never failed by a fault meant for the
// program's own calls.
#pragma once

#include <string>

#include "standin/win_types.h"

namespace standin::detail {

// Null converts to empty.
std::string Utf8FromWide(const WCHAR* text);
std::u16string WideFromUtf8(const std::string& text);
// In and from CP_ACP (Windows-1252); what it cannot show becomes '?'.
std::string AnsiFromWide(const std::u16string& text);
std::u16string WideFromAnsi(const std::string& text);

}  // namespace standin::detail

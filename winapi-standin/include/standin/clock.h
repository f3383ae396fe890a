// Lets tests move GetTickCount, e.g. to just before its 32-bit wrap.
#pragma once

#include "standin/win_types.h"

namespace standin {

// GetTickCount returns `now` at once and counts on from there.
void SetTickCount(DWORD now);

}  // namespace standin

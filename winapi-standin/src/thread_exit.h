// What a thread from CreateThread does once its start routine has returned.
#pragma once

#include "standin/win_types.h"

namespace standin::detail {

// Hands the library to the calling thread's end; false on a thread that
// CreateThread did not make.
bool ReleaseAtThreadEnd(HMODULE library);

}  // namespace standin::detail

// The Windows API as the host reaches it: Windows' own headers on Windows,
// the stand-in natively.
#pragma once

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <dbt.h>
#else
#include "winapi_standin.h"
#endif

// The Xtra's one door to the Windows API: the real headers in the Windows
// build, the stand-in's declarations in the native build.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <dbt.h>
#include <setupapi.h>
#include <winioctl.h>
#include <hidclass.h>
// mingw-w64's HID headers lack C linkage of their own.
extern "C" {
#include <hidsdi.h>
}
#else
#include "winapi_standin.h"
#endif

// A WCHAR literal: WCHAR is wchar_t in Windows' headers, char16_t in the stand-in's.
#if defined(_WIN32)
#define WIDE_TEXT(text) L##text
#else
#define WIDE_TEXT(text) u##text
#endif

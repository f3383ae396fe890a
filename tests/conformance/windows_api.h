// The Windows API as the Xtra sees it, plus the setup and HID headers that
// <windows.h> leaves out on Windows.
#pragma once

#include "platform.h"

#if defined(_WIN32)
#include <setupapi.h>
extern "C" {
#include <hidpi.h>
#include <hidsdi.h>
}
#endif

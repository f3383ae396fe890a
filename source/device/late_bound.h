// Windows functions newer than Windows XP SP3, on which the Xtra must still
// load: looked up when first needed, never imported.
#pragma once

#include "platform.h"

// CancelIoEx(file, nullptr): cancels every pending operation on the file,
// whichever thread issued it. False where Windows cannot (XP).
bool CancelIoOfAnyThread(HANDLE file);

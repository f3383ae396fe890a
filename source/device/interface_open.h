// Opening a device interface path for the device object's own use.
#pragma once

#include "platform.h"

// CreateFileA on the path, null on failure with the last error set. A
// sharing violation is waited out for a moment while a reader of this
// module, just let go of, may still hold the device: a Close followed at
// once by an exclusive open, or an open after an exclusive Close, must not
// fail for it.
HANDLE OpenInterface(const char* path, DWORD access, DWORD share, DWORD flags);

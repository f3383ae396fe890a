// Opening a device interface path for the device object's own use.
#pragma once

#include "device/scoped_resources.h"

// CreateFileW on the path, a text in the host's encoding as every path the
// Xtra keeps; empty on failure with the last error set (ERROR_PATH_NOT_FOUND
// for a path that does not convert). A
// sharing violation is waited out for a moment while a reader of this
// module, just let go of, may still hold the device: a Close followed at
// once by an exclusive open, or an open after an exclusive Close, must not
// fail for it.
ScopedHandle OpenInterface(const char* path, DWORD access, DWORD share, DWORD flags);

// Opens the path shared, to read and write; when Windows keeps the collection
// to itself (as it keeps keyboards and mice), without access, which still
// answers for its ids, strings, caps and feature reports, and `queryOnly`
// tells so.
ScopedHandle OpenSharedOrForQueries(const char* path, DWORD flags, bool& queryOnly);

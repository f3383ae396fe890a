// Where drive-letter paths land natively (see stdio_redirect.h).
#pragma once

#include <string>

namespace standin {

// An empty root restores the default: $HIDBRIDGE_DRIVE_ROOT, else
// ${TMPDIR:-/tmp}/hidbridge-drives.
void SetDriveRoot(const std::string& root);
std::string DriveRoot();
// The native path for a Windows one; other paths come back unchanged.
std::string NativePath(const std::string& path);

}  // namespace standin

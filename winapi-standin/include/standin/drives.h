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
// What GetDriveTypeA answers for the drive: DRIVE_FIXED until set, as for
// every letter; a network share mapped to a letter is DRIVE_REMOTE.
void SetDriveType(char letter, unsigned type);

}  // namespace standin

// What Reset restores besides the bus and the faults.
#pragma once

namespace standin::detail {

// Forgets debug output and message boxes, drops the debug sink and restores
// the default message box answer.
void ResetRecorders();
// GetTickCount counts from the stand-in's start again.
void ResetTickCount();
// Every drive letter is a fixed drive again.
void ResetDriveTypes();

}  // namespace standin::detail

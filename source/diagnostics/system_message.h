// The system's own text for a Windows error code, in Director's encoding.
#pragma once

#include "diagnostics/xtra_result.h"
#include "platform.h"

// False when the system has no text for the code; the line break that
// system texts end with is left out.
bool SystemMessage(DWORD error, char* text, DWORD size);

// Records "<what>: <the system's text>" (`what` alone when the system has
// none) with the code.
void SetSystemError(XtraResult& result, const char* what, DWORD error);

// Records a fixed text without a code, as the movie has always been told of
// this failure, and sends the system's reason to the debugger output.
void SetFixedError(XtraResult& result, const char* text, DWORD error);

// Waiting for and cancelling overlapped I/O that the calling thread started.
#pragma once

#include "platform.h"

// Cancels `overlapped`, which the calling thread started on `file`. CancelIoEx
// arrived with Windows Vista and is looked up at run time, so that Windows XP
// loads the Xtra; there CancelIo does it, as it cancels the calling thread's
// operations.
void CancelOwnIo(HANDLE file, OVERLAPPED* overlapped);

// Whether the operation has finished, judged by its event (which ReadFile and
// WriteFile reset when they start it), waiting at most `milliseconds`.
bool IoFinished(const OVERLAPPED& overlapped, DWORD milliseconds);

// What an operation came to: ERROR_SUCCESS with the bytes moved, or why it
// failed (no bytes then).
struct IoResult {
  DWORD error;
  DWORD bytes;
};

// Its outcome once IoFinished, as GetOverlappedResult tells it: the
// OVERLAPPED's own fields are the system's to write and to read.
IoResult IoOutcome(HANDLE file, OVERLAPPED* overlapped);

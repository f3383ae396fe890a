// What device methods tell the movie besides their answer: a failed open's
// message box, what the reader met on its own thread, and a list the host
// could not make.
#pragma once

#include "host/call_context.h"

// Shows the failure of an open while boxes are on, then answers the status.
void ReportFailedOpen(CallContext& context, const char* kind, const char* hint);
// What the reader met reaches the movie at the first of: its next method
// that reads or asks the status, or the host's next idle (DeliverInput):
// reports lost to the buffer's bound, reads that failed, and a device that
// went away. While the input handler listens, the device's going waits for
// the last reports stored before it: they reach the handler first.
void ReportReaderTrouble(CallContext& context);
void ReportReaderTrouble(XtraInstance& instance, TStdXtra_IMoaMmXScript& script);
// A list the host could not finish is no answer: the movie is told why, and
// false returned.
bool AnsweredList(CallContext& context, MoaError status, const char* what);

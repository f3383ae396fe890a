// What device methods tell the movie besides their answer: a failed open's
// message box, and what the reader met on its own thread.
#pragma once

#include "host/call_context.h"

// Shows the failure of an open while boxes are on, then answers the status.
void ReportFailedOpen(CallContext& context, const char* kind, const char* hint);
// Reports dropped for the buffer's bound, and a device that went away, reach
// the movie's InternalError handler once each.
void ReportReaderTrouble(CallContext& context);

// Birth and death of a script instance: the class's create and destroy
// callbacks and the Lingo methods new and forget.
#pragma once

#include "host/xtra_instance.h"
#include "moa_contract.h"

struct TStdXtra_IMoaMmXScript;

MoaError MOA_CALL XtraInstanceCreate(void* instance);
void MOA_CALL XtraInstanceDestroy(void* instance);

// Lingo's new: the device object, the error listener, the notification client.
void NewInstance(XtraInstance& instance, TStdXtra_IMoaMmXScript& script);
// Lingo's forget; harmless when repeated. It closes the device and stops
// what reaches the movie at once; FinishPendingForget lets go of the device
// object and the host services once nothing of the instance runs any more.
void ForgetInstance(XtraInstance& instance);
void FinishPendingForget(XtraInstance& instance);

// Birth and death of a script instance: the class's create and destroy
// callbacks and the Lingo methods new and forget.
#pragma once

#include "host/moa_contract.h"
#include "host/xtra_instance.h"

struct TStdXtra_IMoaMmXScript;

MoaError MOA_CALL XtraInstanceCreate(void* instance);
void MOA_CALL XtraInstanceDestroy(void* instance);

// Lingo's new: the device object, the error listener, the notification client.
void NewInstance(XtraInstance& instance, TStdXtra_IMoaMmXScript& script);
// Lingo's forget; harmless when repeated.
void ForgetInstance(XtraInstance& instance);
// Completes a forget that a Lingo handler asked for during delivery.
void FinishPendingForget(XtraInstance& instance);

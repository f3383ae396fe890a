// Birth and death of a script instance: the class's create and destroy
// callbacks and the Lingo methods new and forget.
#pragma once

#include "host/moa_contract.h"
#include "host/xtra_instance.h"

MoaError MOA_CALL XtraInstanceCreate(void* instance);
void MOA_CALL XtraInstanceDestroy(void* instance);

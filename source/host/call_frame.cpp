#include "host/interface_objects.h"

MoaError MOA_CALL TStdXtra_IMoaMmXScript::Call(MoaMmCallInfo*) { return kMoaErr_NoErr; }

#include "host/interface_objects.h"

MoaError MOA_CALL TStdXtra_IMoaNotificationClient::Notify(const MoaID*, void*, void*) { return kMoaErr_NoErr; }

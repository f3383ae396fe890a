#include "host/methods.h"
#include "host/script_instance.h"

void HandleMonitorChanges(CallContext&) {}
void HandleMonitorDevice(CallContext&) {}
void HandlePrivateGlobal(CallContext&) {}
void StopMonitoringFor(XtraInstance&) {}
MoaError MOA_CALL TStdXtra_IMoaMmXScript::HandleDevicesChangeMessage(const char*, uint32_t, int32_t, int32_t) {
  return kMoaErr_NoErr;
}

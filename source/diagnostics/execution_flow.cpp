// The execution-flow trace: entries at or above the threshold go to the
// debugger output and, deferred, to the movie's flow handler.
#include "diagnostics/bounded_text.h"
#include "host/interface_objects.h"
#include "platform.h"
#include "values/host_services.h"

MoaError MOA_CALL TStdXtra_IMoaMmXScript::ExecutionFlow(const char* place, const char* message, int32_t level) {
  XtraInstance& instance = *owner;
  if (!instance.flowTraceOn || level < instance.flowTraceThreshold) return kMoaErr_NoErr;

  char line[2000];
  FormatText(line, sizeof line, "ExecutionFlow\t:%s : %s\n", place, message);
  OutputDebugStringA(line);

  HostServices* services = instance.hostServices;
  IMoaMmValue* values = services ? services->values() : nullptr;
  if (values) {
    MoaMmValue args[2] = {kVoidMoaMmValue, kVoidMoaMmValue};
    values->StringToValue(place, &args[0]);
    values->StringToValue(message, &args[1]);
    QueueCallback(instance.flowHandler, 2, args);
    values->ValueRelease(&args[0]);
    values->ValueRelease(&args[1]);
  }
  return kMoaErr_NoErr;
}

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
    HostValue where(values);
    HostValue what(values);
    values->StringToValue(place, where.out());
    values->StringToValue(message, what.out());
    const MoaMmValue args[2] = {*where.get(), *what.get()};
    QueueCallback(instance.flowHandler, 2, args);
  }
  return kMoaErr_NoErr;
}

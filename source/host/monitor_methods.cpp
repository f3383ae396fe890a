// The Lingo methods that switch device-change monitoring, and PrivateGlobal,
// which shows the process-wide state that no instance owns.
#include "diagnostics/bounded_text.h"
#include "diagnostics/xtra_log.h"
#include "host/methods.h"
#include "monitor/notify_window.h"
#include "values/list_builder.h"

namespace {

// What the movie may name a handler: the rest of the field stays unused.
constexpr size_t kHandlerArgumentSize = 255;

// A non-empty handler name starts monitoring with this instance, an empty
// one stops it for everyone; a name that is no text changes nothing. The
// answer stays empty unless monitoring cannot start.
bool SwitchMonitoring(CallContext& context, char (&field)[XtraInstance::kHandlerNameSize], int nameArgument) {
  char name[kHandlerArgumentSize];
  if (!context.TextArgument(nameArgument, name, sizeof name)) return false;
  CopyText(field, name);
  const XtraResult switched = SetMonitorTarget(name[0] ? &context.script : nullptr);
  if (switched.isError) {
    context.StoreResult(switched);
    context.AnswerStatus();
  }
  return true;
}

}  // namespace

void HandleMonitorChanges(CallContext& context) {
  SwitchMonitoring(context, context.instance.monitorChangesHandler, 1);
}

void HandleMonitorDevice(CallContext& context) {
  XtraInstance& instance = context.instance;
  const int32_t vendorId = context.IntegerArgument(1);
  const int32_t productId = context.IntegerArgument(2);
  if (!SwitchMonitoring(context, instance.monitorDeviceHandler, 3)) return;
  instance.monitorVendorId = vendorId;
  instance.monitorProductId = productId;
}

void HandleMonitorHidDevices(CallContext& context) {
  if (!context.ArgumentIs(1, kMoaMmValueType_String)) return context.AnswerError("handlerName must be a string");
  SwitchMonitoring(context, context.instance.monitorHidHandler, 1);
}

void HandlePrivateGlobal(CallContext& context) {
  ListBuilder state(*context.instance.hostServices, ListBuilder::Shape::List);
  state.Open(ListBuilder::Shape::PropList);
  state.Integer("Monitoring", MonitorTarget() ? 1 : 0);
  state.Integer("NotifyWindow", NotifyWindowExists() ? 1 : 0);
  state.Integer("LogOpen", XtraLog::Instance().IsOpen() ? 1 : 0);
  state.Integer("InterfaceObjects", gModuleObjectCount);
  state.HandTo(&context.call.resultValue);
}

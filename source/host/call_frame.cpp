// Call: the one entry of every Lingo method. It traces the call, resets the
// per-call state and runs the selector's handler. A handler's own failure is
// its answer to the movie, never Call's status; only a selector with no
// handler is refused to Director.
#include <new>
#include <optional>

#include "diagnostics/bounded_text.h"
#include "host/input_delivery.h"
#include "host/method_table.h"
#include "host/methods.h"
#include "host/script_instance.h"

namespace {

enum class Needs { Nothing, HostServices, Device };

struct MethodEntry {
  MethodSelector selector;
  void (*handler)(CallContext&);
  const char* traceName;  // null: the handler writes no trace entries
  int32_t traceLevel;
  Needs needs;
};

// Row i handles selector i: the order of the method table's handler lines.
constexpr MethodEntry kMethods[] = {
    {kSelectorNew, HandleNew, "m_new", 50, Needs::Nothing},
    {kSelectorForget, HandleForget, nullptr, 0, Needs::Nothing},
    {kSelectorGetVersionString, HandleGetVersionString, "m_getVersion", 50, Needs::HostServices},
    {kSelectorOpenByProductName, HandleOpenByProductName, "m_openByProductName", 50, Needs::Device},
    {kSelectorOpenById, HandleOpenById, "m_openByID", 50, Needs::Device},
    {kSelectorIsOpen, HandleIsOpen, "m_isDeviceOpen", 25, Needs::Device},
    {kSelectorClose, HandleClose, "m_open", 50, Needs::Device},
    {kSelectorRead, HandleRead, "m_read", 50, Needs::Device},
    {kSelectorReadPacket, HandleReadPacket, "m_readPacket", 50, Needs::Device},
    {kSelectorReadReport, HandleReadPacket, nullptr, 0, Needs::Device},  // ReadReport: one report, like ReadPacket
    {kSelectorWrite, HandleWrite, "m_write", 50, Needs::Device},
    {kSelectorNumberOfItemsInReadBuffer, HandleNumberOfItemsInReadBuffer, "m_numCharsInReadBuffer", 50, Needs::Device},
    {kSelectorNumberOfPacketsInReadBuffer, HandleNumberOfPacketsInReadBuffer, "m_numPacketsInReadBuffer", 50,
     Needs::Device},
    {kSelectorDoNotBufferPackets, HandleDoNotBufferPackets, "m_doNotBufferPackets", 50, Needs::Device},
    {kSelectorGetCapabilities, HandleGetCapabilities, "m_getCaps", 50, Needs::Device},
    {kSelectorFindUsbDevices, HandleFindUsbDevices, "m_findDevices", 50, Needs::Device},
    {kSelectorMonitorChanges, HandleMonitorChanges, "m_monitorDevices", 50, Needs::Device},
    {kSelectorMonitorDevice, HandleMonitorDevice, "m_monitorSingleDevice", 50, Needs::Device},
    {kSelectorShowErrorsAsDialogs, HandleShowErrorsAsDialogs, "m_showErrorDialogs", 50, Needs::HostServices},
    {kSelectorPrivateGlobal, HandlePrivateGlobal, nullptr, 0, Needs::HostServices},
    {kSelectorPrivateInstance, HandlePrivateInstance, "m_privateLocal", 50, Needs::HostServices},
    {kSelectorSetWriteTimeout, HandleSetWriteTimeout, "m_setWriteTimeout", 50, Needs::Device},
    {kSelectorWriteReport, HandleWriteReport, "m_writeReport", 50, Needs::Device},
    {kSelectorSendOutputReport, HandleSendOutputReport, "m_sendOutputReport", 50, Needs::Device},
    {kSelectorGetFeatureReport, HandleGetFeatureReport, "m_getFeatureReport", 50, Needs::Device},
    {kSelectorSetFeatureReport, HandleSetFeatureReport, "m_setFeatureReport", 50, Needs::Device},
    {kSelectorGetInputReport, HandleGetInputReport, "m_getInputReport", 50, Needs::Device},
    {kSelectorFindHidDevices, HandleFindHidDevices, "m_findHidDevices", 50, Needs::Device},
    {kSelectorOpenByPath, HandleOpenByPath, "m_openByPath", 50, Needs::Device},
    {kSelectorGetDeviceInfo, HandleGetDeviceInfo, "m_getDeviceInfo", 50, Needs::Device},
    {kSelectorGetStatus, HandleGetStatus, "m_getStatus", 50, Needs::Device},
    {kSelectorMonitorHidDevices, HandleMonitorHidDevices, "m_monitorHidDevices", 50, Needs::Device},
    {kSelectorGetControls, HandleGetControls, "m_getControls", 50, Needs::Device},
    {kSelectorDecodeReport, HandleDecodeReport, "m_decodeReport", 50, Needs::Device},
    {kSelectorWriteUsages, HandleWriteUsages, "m_writeUsages", 50, Needs::Device},
    {kSelectorSetFeatureUsages, HandleSetFeatureUsages, "m_setFeatureUsages", 50, Needs::Device},
    {kSelectorSetInputHandler, HandleSetInputHandler, "m_setInputHandler", 50, Needs::Device},
};
static_assert(sizeof kMethods / sizeof kMethods[0] == kSelectorCount, "one row per selector");

constexpr bool EachRowHandlesItsSelector() {
  for (int i = 0; i < kSelectorCount; ++i)
    if (kMethods[i].selector != i) return false;
  return true;
}
static_assert(EachRowHandlesItsSelector(), "row i of the table handles selector i");

bool Traces(const XtraInstance& instance, int32_t level) {
  return instance.flowTraceOn && level >= instance.flowTraceThreshold;
}

// After forget, or when an allocation failed, a method answers nothing
// rather than follow a null pointer.
bool CanRun(const XtraInstance& instance, Needs needs) {
  switch (needs) {
    case Needs::Device:
      return instance.device && instance.hostServices && !instance.forgetPending;
    case Needs::HostServices:
      return instance.hostServices != nullptr && !instance.forgetPending;
    case Needs::Nothing:
      break;
  }
  return true;
}

// A call made while another runs (the host may run Lingo while a method
// waits in a message box) keeps its own result and leaves the one it
// interrupted as it was; the outermost call finishes a forget.
class CallInProgress {
 public:
  explicit CallInProgress(XtraInstance& instance) : instance_(instance) {
    if (instance_.methodCallsRunning++ > 0) interrupted_.emplace(instance_);
  }
  ~CallInProgress() {
    if (interrupted_) interrupted_->Restore(instance_);
    if (--instance_.methodCallsRunning == 0 && !instance_.deliveringCallbacks) FinishPendingForget(instance_);
  }
  CallInProgress(const CallInProgress&) = delete;
  CallInProgress& operator=(const CallInProgress&) = delete;

 private:
  struct Answer {
    explicit Answer(const XtraInstance& instance) : result(instance.lastResult) {
      CopyText(replyText, instance.replyText);
    }
    void Restore(XtraInstance& instance) const {
      instance.lastResult = result;
      CopyText(instance.replyText, replyText);
    }
    XtraResult result;
    char replyText[sizeof XtraInstance::replyText];
  };

  XtraInstance& instance_;
  std::optional<Answer> interrupted_;
};

// No exception may reach the host: the handler's call answers what ran out.
void RunHandler(void (*handler)(CallContext&), CallContext& context) {
  try {
    handler(context);
  } catch (const std::bad_alloc&) {
    context.StoreResult(XtraResult::Failure("Out of memory", XtraResult::kNoCode));
    context.AnswerStatus();
  }
}

}  // namespace

MoaError MOA_CALL TStdXtra_IMoaMmXScript::Call(MoaMmCallInfo* callInfo) {
  XtraInstance& instance = *owner;
  const CallInProgress inProgress(instance);
  const MoaLong selector = callInfo->methodSelector;
  char text[32];
  if (Traces(instance, 25)) {
    FormatText(text, sizeof text, "Enter (%d-%s)", static_cast<int>(selector), "");
    ExecutionFlow("Call", text, 25);
  }
  SettleLentInput(instance);
  CopyText(instance.replyText, "Ok");
  instance.lastResult.SetOk();
  // The error listener reports through the script object of the current
  // call: the one that new saw may have been let go of since.
  if (instance.lastResult.listener) instance.lastResult.listenerData = this;

  const bool inTable = selector >= 0 && selector < kSelectorCount;
  if (inTable) {
    const MethodEntry& method = kMethods[selector];
    // Checked here, at each end, so that a call costs nothing more while
    // tracing is off; a handler may switch tracing itself.
    if (method.traceName && Traces(instance, method.traceLevel))
      ExecutionFlow(method.traceName, "Enter", method.traceLevel);
    if (CanRun(instance, method.needs)) {
      CallContext context{instance, *this, *callInfo};
      RunHandler(method.handler, context);
    }
    if (method.traceName && Traces(instance, method.traceLevel))
      ExecutionFlow(method.traceName, "Exit", method.traceLevel);
  }

  if (Traces(instance, 25)) {
    FormatText(text, sizeof text, "Exit (%d)", static_cast<int>(selector));
    ExecutionFlow("Call", text, 25);
  }
  return inTable ? kMoaErr_NoErr : kMoaMmErr_ArgOutOfRange;
}

// The Lingo methods that concern the instance itself: its birth and death,
// the version, error boxes, tracing and the log.
#include <cstring>

#include "diagnostics/bounded_text.h"
#include "host/method_table.h"
#include "host/methods.h"
#include "host/script_instance.h"
#include "values/host_services.h"

namespace {

constexpr size_t kPrivateTextSize = 100;

enum PrivateCommand : int32_t {
  kSetInternalErrorHandler = 1,
  kSetFlowTrace = 2,
  kSetFileLog = 3,
  kDebugBuildOnly = 255,
};

}  // namespace

void HandleNew(CallContext& context) { NewInstance(context.instance, context.script); }

void HandleForget(CallContext& context) { ForgetInstance(context.instance); }

void HandleGetVersionString(CallContext& context) {
  char line[kVersionLineSize];
  FormatVersionLine(line);
  context.AnswerString(line);
}

void HandleShowErrorsAsDialogs(CallContext& context) {
  context.instance.showErrorDialogs = context.IntegerArgument(1) == 1;
  context.AnswerString(context.instance.replyText);
}

void HandlePrivateInstance(CallContext& context) {
  XtraInstance& instance = context.instance;
  bool converted = false;
  switch (context.IntegerArgument(1)) {
    case kSetInternalErrorHandler: {
      context.IntegerArgument(2);
      char name[kPrivateTextSize];
      if (context.TextArgument(3, name, sizeof name)) CopyText(instance.internalErrorHandler, name);
      break;
    }
    case kSetFlowTrace: {
      const int32_t on = context.IntegerArgument(2, &converted);
      if (converted) instance.flowTraceOn = (on & 0xFF) != 0;
      const int32_t threshold = context.IntegerArgument(3, &converted);
      if (converted) instance.flowTraceThreshold = threshold;
      break;
    }
    case kSetFileLog: {
      const int32_t on = context.IntegerArgument(2, &converted);
      if (!converted) break;
      // One byte more than a name may have tells a name that does not fit,
      // which cut would name another file.
      char fileName[kPrivateTextSize + 1];
      const bool named = context.TextArgument(3, fileName, sizeof fileName);
      if (named && std::strlen(fileName) >= kPrivateTextSize) {
        context.StoreResult(
            XtraResult::Failure("The log file name is longer than 99 characters", XtraResult::kNoCode));
        return context.AnswerStatus();
      }
      instance.fileLogOn = (on & 0xFF) != 0;
      if (named) instance.hostServices->SetLogFileName(fileName);
      if (instance.fileLogOn)
        instance.hostServices->OpenLog();
      else
        instance.hostServices->CloseLog();
      break;
    }
    case kDebugBuildOnly:
      CopyText(instance.replyText, "This is not a debug build - NOT VALID HERE");
      break;
    default:
      break;
  }
  context.AnswerString(instance.replyText);
}

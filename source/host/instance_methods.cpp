// The Lingo methods that concern the instance itself: its birth and death,
// the version, error boxes, tracing and the log.
#include <cstring>

#include "diagnostics/bounded_text.h"
#include "diagnostics/log_file_name.h"
#include "diagnostics/xtra_log.h"
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
      if (named && fileName[0] && !IsLocalLogFileName(fileName)) {
        context.StoreResult(XtraResult::Failure(XtraLog::kNotLocal, XtraResult::kNoCode));
        return context.AnswerStatus();
      }
      HostServices& services = *instance.hostServices;
      char previousName[HostServices::kLogFileNameSize];
      CopyText(previousName, services.logFileName());
      const bool logOn = (on & 0xFF) != 0;
      if (named) services.SetLogFileName(fileName);
      if (!logOn) {
        services.CloseLog();
      } else if (const XtraResult opened = services.OpenLog(); opened.isError) {
        // Refused: the object logs as it did before the call, where it did.
        services.SetLogFileName(previousName);
        context.StoreResult(opened);
        return context.AnswerStatus();
      }
      instance.fileLogOn = logOn;
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

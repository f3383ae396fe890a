// The Lingo methods that concern the instance itself: its birth and death,
// the version, error boxes, tracing and the log.
#include <string>

#include "diagnostics/bounded_text.h"
#include "diagnostics/log_file_name.h"
#include "diagnostics/xtra_log.h"
#include "host/method_table.h"
#include "host/methods.h"
#include "host/script_instance.h"
#include "values/host_services.h"

namespace {

constexpr size_t kPrivateTextSize = 100;

// Why the movie may not name this file for the log, or null: the file's
// own content is judged when the log opens it.
const char* LogFileNameRefusal(const std::string& name) {
  if (name.size() >= kPrivateTextSize) return "The log file name is longer than 99 characters";
  WCHAR wide[XtraLog::kFileNameSize];
  return LogFileNameFault(name.c_str(), wide, XtraLog::kFileNameSize);
}

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
      // The whole text is read: a name cut to fit would be another file.
      std::string fileName;
      const bool named = context.StringArgument(3, fileName);
      if (const char* fault = named && !fileName.empty() ? LogFileNameRefusal(fileName) : nullptr) {
        context.StoreResult(XtraResult::Failure(fault, XtraResult::kNoCode));
        return context.AnswerStatus();
      }
      HostServices& services = *instance.hostServices;
      char previousName[HostServices::kLogFileNameSize];
      CopyText(previousName, services.logFileName());
      const bool logOn = (on & 0xFF) != 0;
      if (named) services.SetLogFileName(fileName.c_str());
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

// SetInputHandler: which movie handler hears the open device's input
// reports at each idle, and in what form.
#include <cstring>

#include "device/usb_class_base.h"
#include "diagnostics/bounded_text.h"
#include "host/methods.h"
#include "values/host_services.h"

namespace {

constexpr size_t kModeNameSize = 32;

bool ModeArgument(CallContext& context, InputMode* mode) {
  if (context.call.nargs < 3 || context.ArgumentIs(2, kMoaMmValueType_Void)) return true;
  char name[kModeNameSize] = "";
  if (context.ArgumentIs(2, kMoaMmValueType_Symbol) &&
      context.instance.hostServices->NameOf(context.call.pArgs[2], name, sizeof name) && InputModeNamed(name, mode))
    return true;
  context.AnswerError("mode must be #reports, #latest, #decoded or #changes");
  return false;
}

}  // namespace

void HandleSetInputHandler(CallContext& context) {
  if (!context.ArgumentIs(1, kMoaMmValueType_String)) return context.AnswerError("handlerName must be a string");
  InputHandlerState& input = context.instance.input;
  char name[InputHandlerState::kNameSize];
  // Longer than any Lingo handler name: cut, it would call another handler.
  if (!context.TextArgument(1, name, sizeof name) || std::strlen(name) + 1 >= sizeof name)
    return context.AnswerError("handlerName is too long");
  InputMode mode = InputMode::Reports;
  if (!ModeArgument(context, &mode)) return;
  CopyText(input.name, name);
  input.mode = mode;
  input.Reset(context.instance.device->input().DroppedCount());
  context.AnswerStatus();
}

// wait until hid has 2 packets, hid stops reading, padInput is called, or
// pad is read: what the Xtra's reader or a device does in its own time,
// waited for instead of idling a fixed time, so that a transcript reads the
// same on a fast machine and on a loaded one.
#include <chrono>
#include <functional>
#include <thread>

#include "console_object.h"
#include "host_commands.h"
#include "lingo_literals.h"

using namespace director;

namespace {

constexpr std::chrono::seconds kLongestWait{kLongestWaitSeconds};
constexpr std::chrono::milliseconds kPollInterval{10};
const std::string kTooLong = " after " + std::to_string(kLongestWaitSeconds) + " s";

// Polls until `holds`, idling between polls when `idle` is given; false when
// it still does not hold after kLongestWait.
bool Await(IdleLoop* idle, const std::function<bool()>& holds) {
  const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
  for (;;) {
    if (idle) idle->Once();
    if (holds()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

// The method's answer, asked of the script's object outside the transcript.
HeldValue Ask(CommandContext& context, ScriptInstance& instance, const char* method) {
  MoaMmValue answer = kVoidMoaMmValue;
  if (const MethodEntry* entry = context.catalog.Find(method)) instance.CallWithValues(entry->selector, {}, &answer);
  return HeldValue(context.host.values(), answer);
}

}  // namespace

bool AwaitStoppedReading(CommandContext& context, ScriptInstance& instance) {
  return Await(nullptr, [&] {
    const HeldValue status = Ask(context, instance, "GetStatus");
    return status.lingo().type == kMoaMmValueType_PropList && !status.Integer("Reading");
  });
}

namespace {

// Without idling, as while Director runs a message-window command: a
// listening handler hears the packets only at the idle after the wait.
bool AwaitPackets(CommandContext& context, ScriptInstance& instance, const std::string& name) {
  CommandArguments& arguments = context.arguments;
  int32_t wanted = 0;
  if (!arguments.Integer("a number of packets", &wanted)) return false;
  if (!arguments.TakeWord("packets") && !arguments.Word("packet")) return false;
  if (!arguments.End()) return false;
  if (wanted < 1) return arguments.Fail("wait for 1 packet or more");
  MoaLong buffered = 0;
  const bool arrived = Await(nullptr, [&] {
    const HeldValue count = Ask(context, instance, "NumberOfPacketsInReadBuffer");
    buffered = count.lingo().type == kMoaMmValueType_Integer ? count.lingo().integer : 0;
    return buffered >= wanted;
  });
  return arrived || arguments.Fail(name + " has " + std::to_string(buffered) + " of " + std::to_string(wanted) +
                                   " packets" + kTooLong);
}

// GetStatus, as a movie asks it: what the reader met is told to the movie
// then, at the idle after the wait.
bool AwaitReaderEnd(CommandContext& context, ScriptInstance& instance, const std::string& name) {
  if (!context.arguments.Word("reading") || !context.arguments.End()) return false;
  return AwaitStoppedReading(context, instance) || context.arguments.Fail(name + " is still reading" + kTooLong);
}

bool AwaitDeviceRead(CommandContext& context, const std::string& device) {
  if (!context.arguments.End()) return false;
  std::string why;
  const bool read = Await(nullptr, [&] {
    bool done = false;
    return !ScriptDeviceRead(device, &done, &why) || done;
  });
  if (!why.empty()) return context.arguments.Fail(why);
  return read || context.arguments.Fail(device + "'s reports are still not all read" + kTooLong);
}

// Idling: a movie handler is called only at an idle. Only a call during the
// wait counts, so that one the statement before already delivered makes the
// wait fail instead of passing on a fast machine alone.
bool AwaitCall(CommandContext& context, const std::string& handler) {
  if (!context.arguments.End()) return false;
  const std::vector<HandlerCall>& calls = context.host.player().calls();
  const size_t before = calls.size();
  const bool called = Await(&context.idle, [&] {
    for (size_t i = before; i < calls.size(); ++i)
      if (FoldCase(calls[i].name) == FoldCase(handler)) return true;
    return false;
  });
  return called ||
         context.arguments.Fail(handler + " was not called in " + std::to_string(kLongestWaitSeconds) + " s");
}

}  // namespace

bool WaitUntil(CommandContext& context) {
  CommandArguments& arguments = context.arguments;
  std::string name;
  if (!arguments.Word("until") || !arguments.Name("an object or a movie handler", &name)) return false;
  if (arguments.TakeWord("is")) {
    if (arguments.TakeWord("called")) return AwaitCall(context, name);
    if (arguments.TakeWord("read")) return AwaitDeviceRead(context, name);
    return arguments.Fail("expected called or read after " + name + " is");
  }
  const bool packets = arguments.TakeWord("has");
  if (!packets && !arguments.TakeWord("stops"))
    return arguments.Fail("expected has <n> packets, stops reading, is called or is read after " + name);
  ScriptInstance* instance = context.instanceNamed(name);
  if (!instance) return arguments.Fail("no object named " + name + " is alive");
  return packets ? AwaitPackets(context, *instance, name) : AwaitReaderEnd(context, *instance, name);
}

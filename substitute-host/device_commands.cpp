// The simulated-device commands of the native build: devices are plugged
// into the stand-in's bus under a name of the script's choosing.
#include <chrono>
#include <map>
#include <stdexcept>
#include <thread>

#include "burst_command.h"
#include "host_commands.h"
#include "lingo_literals.h"
#include "named_descriptors.h"
#include "standin/control.h"
#include "text_encoding.h"
#include "usage_report.h"

using namespace director;

namespace {

std::map<std::string, standin::DeviceId>& Devices() {
  static std::map<std::string, standin::DeviceId> devices;
  return devices;
}

bool FindDevice(CommandArguments& arguments, standin::DeviceId* device, std::string* name) {
  if (!arguments.Name("a device name", name)) return false;
  const auto found = Devices().find(FoldCase(*name));
  if (found == Devices().end()) return arguments.Fail("no device named " + *name + " is plugged in");
  *device = found->second;
  return true;
}

struct IntegerField {
  const char* name;
  void (*set)(standin::DeviceSpec& traits, uint16_t value);
};

#define SPEC_FIELD(property, member)                                   \
  {                                                                    \
    property, [](standin::DeviceSpec& s, uint16_t v) { s.member = v; } \
  }
const IntegerField kIntegerFields[] = {
    SPEC_FIELD("vendorId", vendorId),
    SPEC_FIELD("productId", productId),
    SPEC_FIELD("version", versionNumber),
    SPEC_FIELD("release", versionNumber),
    SPEC_FIELD("usage", caps.Usage),
    SPEC_FIELD("usagePage", caps.UsagePage),
    SPEC_FIELD("input", caps.InputReportByteLength),
    SPEC_FIELD("output", caps.OutputReportByteLength),
    SPEC_FIELD("feature", caps.FeatureReportByteLength),
    SPEC_FIELD("linkCollectionNodes", caps.NumberLinkCollectionNodes),
    SPEC_FIELD("inputButtonCaps", caps.NumberInputButtonCaps),
    SPEC_FIELD("inputValueCaps", caps.NumberInputValueCaps),
    SPEC_FIELD("inputDataIndices", caps.NumberInputDataIndices),
    SPEC_FIELD("outputButtonCaps", caps.NumberOutputButtonCaps),
    SPEC_FIELD("outputValueCaps", caps.NumberOutputValueCaps),
    SPEC_FIELD("outputDataIndices", caps.NumberOutputDataIndices),
    SPEC_FIELD("featureButtonCaps", caps.NumberFeatureButtonCaps),
    SPEC_FIELD("featureValueCaps", caps.NumberFeatureValueCaps),
    SPEC_FIELD("featureDataIndices", caps.NumberFeatureDataIndices),
    SPEC_FIELD("queue", inputQueueCapacity),
    SPEC_FIELD("systemOwned", systemOwned),
};
#undef SPEC_FIELD

// Script text is UTF-8; device strings are UTF-16, as USB carries them.
bool SetStringField(standin::DeviceSpec& traits, const std::string& key, const std::string& text) {
  if (key == "product")
    traits.product = Utf16FromUtf8(text);
  else if (key == "manufacturer")
    traits.manufacturer = Utf16FromUtf8(text);
  else if (key == "serial")
    traits.serialNumber = Utf16FromUtf8(text);
  else if (key == "collection")
    traits.collection = text;
  else if (key == "instance")
    traits.instanceId = text;
  else
    return false;
  return true;
}

bool SetIntegerField(standin::DeviceSpec& traits, const std::string& key, MoaLong value) {
  if (key == "interface") {
    if (value < 0 || value > 0xFF) return false;
    traits.interfaceNumber = static_cast<uint8_t>(value);
    return true;
  }
  for (const IntegerField& field : kIntegerFields) {
    if (FoldCase(field.name) != key) continue;
    if (value < 0 || value > 0xFFFF) return false;
    field.set(traits, static_cast<uint16_t>(value));
    return true;
  }
  return false;
}

// #inputIds, #outputIds, #featureIds: the report IDs of a device that
// numbers its reports of that kind.
bool SetReportIds(standin::DeviceSpec& traits, const std::string& key, const LingoValue& list,
                  const LingoValueStore& values) {
  std::vector<uint8_t>* ids = key == "inputids"     ? &traits.inputReportIds
                              : key == "outputids"  ? &traits.outputReportIds
                              : key == "featureids" ? &traits.featureReportIds
                                                    : nullptr;
  if (!ids) return false;
  for (const MoaMmValue& item : list.items) {
    const LingoValue* id = values.Find(item);
    if (id->type != kMoaMmValueType_Integer || id->integer < 1 || id->integer > 255) return false;
    ids->push_back(static_cast<uint8_t>(id->integer));
  }
  return true;
}

bool Plug(CommandContext& context) {
  CommandArguments& arguments = context.arguments;
  std::string name;
  std::vector<std::pair<std::string, const LingoValue*>> properties;
  if (!arguments.Name("a name for the device", &name) || !arguments.Properties("the device", &properties) ||
      !arguments.End())
    return false;
  if (Devices().count(FoldCase(name))) return arguments.Fail("a device named " + name + " is plugged in already");
  standin::DeviceSpec traits;
  for (const auto& [property, value] : properties) {
    const std::string key = FoldCase(property);
    std::string why;
    if (key == "descriptor" && !DescriptorOf(*value, arguments.values(), traits.reportDescriptor, why))
      return arguments.Fail(why);
    const bool set = key == "descriptor" ||
                     (value->type == kMoaMmValueType_String    ? SetStringField(traits, key, value->text)
                      : value->type == kMoaMmValueType_Integer ? SetIntegerField(traits, key, value->integer)
                      : value->type == kMoaMmValueType_List    ? SetReportIds(traits, key, *value, arguments.values())
                                                               : false);
    if (!set) return arguments.Fail("#" + property + " is no device property, or its value does not fit");
  }
  try {
    const standin::DeviceId device = standin::PlugDevice(traits);
    Devices()[FoldCase(name)] = device;
    context.transcript.Note("plugged " + name + ": " + standin::DevicePath(device));
  } catch (const std::invalid_argument& refused) {
    return arguments.Fail(refused.what());
  }
  return true;
}

bool Unplug(CommandContext& context) {
  standin::DeviceId device = 0;
  std::string name;
  if (!FindDevice(context.arguments, &device, &name) || !context.arguments.End()) return false;
  standin::Unplug(device);
  // The Xtra's readers hear of the removal on their own threads. Waiting
  // until every thread waits again lets what they met reach the movie at
  // this command's idle, whatever their pace, as under Wine, which
  // announces the removal after it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (standin::LiveThreadCount() > standin::BlockedThreadCount() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  Devices().erase(FoldCase(name));
  context.transcript.Note("unplugged " + name);
  return true;
}

// stall pad: the device takes no output report until unstalled.
bool SetStalled(CommandContext& context, bool stalled) {
  standin::DeviceId device = 0;
  std::string name;
  if (!FindDevice(context.arguments, &device, &name) || !context.arguments.End()) return false;
  standin::StallOutput(device, stalled);
  context.transcript.Note(name + (stalled ? " takes no output reports" : " takes output reports again"));
  return true;
}

bool Stall(CommandContext& context) { return SetStalled(context, true); }

bool Unstall(CommandContext& context) { return SetStalled(context, false); }

// "after 200 ms" at the end of a send: when the device sends it, so that a
// command that waits for reports (watch) can meet one; 0 when left out.
bool Delay(CommandArguments& arguments, int32_t* milliseconds) {
  *milliseconds = 0;
  if (!arguments.TakeWord("after")) return arguments.End();
  if (!arguments.Integer("the delay", milliseconds) || !arguments.Word("ms") || !arguments.End()) return false;
  return *milliseconds >= 0 || arguments.Fail("the delay must not be negative");
}

// send pad [1, 2, 3], or by usage: send pad [#X: 100, #Button1: 1]; either
// may end "after 200 ms".
bool Send(CommandContext& context) {
  standin::DeviceId device = 0;
  std::string name;
  std::vector<uint8_t> report;
  if (!FindDevice(context.arguments, &device, &name)) return false;
  std::vector<std::pair<std::string, const LingoValue*>> controls;
  std::string why;
  if (context.arguments.TakeProperties(&controls)) {
    if (!BuildInputReport(standin::DevicePath(device), controls, report, why)) return context.arguments.Fail(why);
  } else if (!context.arguments.Bytes("the report", &report)) {
    return false;
  }
  int32_t delay = 0;
  if (!Delay(context.arguments, &delay)) return false;
  if (delay == 0) {
    if (!standin::SendInputReport(device, report))
      return context.arguments.Fail("the report is longer than the device's input reports");
    return true;
  }
  // The device sends on its own time, as a real one does; one unplugged
  // meanwhile sends nothing.
  std::thread([device, report, delay] {
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    try {
      standin::SendInputReport(device, report);
    } catch (const std::out_of_range&) {
    }
  }).detach();
  return true;
}

bool Burst(CommandContext& context) {
  BurstRequest request;
  standin::DeviceId device = 0;
  if (!FindDevice(context.arguments, &device, &request.name) || !ReadBurst(context.arguments, &request)) return false;
  SendBurst(context, request, [&] { return standin::SendInputReport(device, request.report); });
  if (const size_t dropped = standin::DroppedInputReports(device))
    context.transcript.Note(request.name + "'s queue dropped " + std::to_string(dropped) + " reports so far");
  return true;
}

bool Fail(CommandContext& context) {
  CommandArguments& arguments = context.arguments;
  std::string function;
  int32_t error = 0;
  int32_t skip = 0;
  int32_t times = 1;
  if (!arguments.Name("a Windows function", &function) || !arguments.Integer("the error code", &error)) return false;
  if (arguments.TakeWord("skip") && !arguments.Integer("how many calls to let through", &skip)) return false;
  if (arguments.TakeWord("times") && !arguments.Integer("how many calls fail", &times)) return false;
  if (!arguments.End()) return false;
  if (skip < 0 || times < 1) return arguments.Fail("skip cannot be negative, and at least one call must fail");
  try {
    standin::FailNext(function, static_cast<uint32_t>(error), static_cast<unsigned>(skip),
                      static_cast<unsigned>(times));
  } catch (const std::invalid_argument& refused) {
    std::string fallible;
    for (const std::string& name : standin::FallibleFunctions()) fallible += (fallible.empty() ? "" : ", ") + name;
    return arguments.Fail(std::string(refused.what()) + "; these do: " + fallible);
  }
  return true;
}

const char* HowItArrived(standin::Delivery delivery) {
  switch (delivery) {
    case standin::Delivery::Interrupt: return "";
    case standin::Delivery::Control: return " over the control pipe";
    case standin::Delivery::Feature: return " as a feature report";
  }
  return "";
}

// Output reports written through the interrupt pipe, as Write sends them,
// are shown plainly; the others say how they came.
bool Received(CommandContext& context) {
  standin::DeviceId device = 0;
  std::string name;
  if (!FindDevice(context.arguments, &device, &name) || !context.arguments.End()) return false;
  const auto reports = standin::ReceivedReports(device);
  if (reports.empty()) context.transcript.Note(name + " received nothing");
  LingoValueStore values;
  for (const auto& report : reports) {
    const MoaMmValue list = values.List();
    for (uint8_t byte : report.bytes) {
      const MoaMmValue item = values.Integer(byte);
      values.Append(list, item);
      values.Release(item);
    }
    context.transcript.Note(name + " received " + FormatLiteral(values, list) + HowItArrived(report.delivery));
    values.Release(list);
  }
  return true;
}

// feature pad [4, 80]: the device's feature report of that ID now holds
// these bytes, as if its own firmware had set them.
bool Feature(CommandContext& context) {
  standin::DeviceId device = 0;
  std::string name;
  std::vector<uint8_t> report;
  if (!FindDevice(context.arguments, &device, &name) || !context.arguments.Bytes("the feature report", &report) ||
      !context.arguments.End())
    return false;
  if (!standin::SetFeatureContents(device, report))
    return context.arguments.Fail("the device has no such feature report, or it is longer");
  return true;
}

}  // namespace

bool ScriptDeviceRead(const std::string& name, bool* read, std::string* why) {
  const auto found = Devices().find(FoldCase(name));
  if (found == Devices().end()) {
    *why = "no device named " + name + " is plugged in";
    return false;
  }
  // A read waits only while nothing is queued for it, and the reader starts
  // its next read only once it has stored the last report.
  *read = standin::PendingReadCount(found->second) > 0;
  return true;
}

void UnplugScriptDevices() {
  for (const auto& [name, device] : Devices()) standin::Unplug(device);
  Devices().clear();
}

std::vector<CommandInfo> DeviceCommands() {
  return {
      {"plug", "plug <name> [#vendorId: 0x046D, #productId: 0xC52B, #product: \"Pad\", #input: 9, ...]", Plug},
      {"unplug", "unplug <name>", Unplug},
      {"send", "send <name> [<byte>, ...] [after <ms> ms]", Send, false},
      {"burst", "burst <name> [<byte>, ...] <rate> per second for <duration> ms", Burst},
      {"fail", "fail <WindowsFunction> <error code> [skip <calls>] [times <calls>]", Fail},
      {"received", "received <name>", Received},
      {"feature", "feature <name> [<report ID>, <byte>, ...]", Feature},
      {"stall", "stall <name>", Stall},
      {"unstall", "unstall <name>", Unstall},
  };
}

#include "console_commands.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "console_object.h"
#include "console_terminal.h"
#include "controls/usage_names.h"
#include "lingo_literals.h"

using namespace director;

namespace {

bool gMaskTimes = false;

std::string Hex(MoaLong number, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(number));
  return text;
}

std::string UsageText(MoaLong page, MoaLong usage) {
  const auto p = static_cast<uint16_t>(page), u = static_cast<uint16_t>(usage);
  return "usage page " + Hex(page, 4) + " " + PageName(p) + ", usage " + Hex(usage, 4) + " " + UsageName(p, u);
}

// The line a movie opens the collection with: by its ids when they name it
// alone and an open by ids may take it, else by its path.
std::string OpeningLine(const HeldValue& collection, int collectionsWithItsIds) {
  if (collection.Integer("Protected")) return "-- a security key: no open reaches it";
  const std::string byPath = "OpenByPath(hid, " + Transcript::StringLiteral(collection.Text("Path")) + ")";
  if (collection.Integer("SystemOwned")) return byPath + "   -- Windows keeps it: GetDeviceInfo and feature reports only";
  if (collectionsWithItsIds > 1) return byPath;
  return "OpenById(hid, " + Hex(collection.Integer("VendorID"), 4) + ", " + Hex(collection.Integer("ProductID"), 4) +
         ")";
}

void TellLastError(CommandContext& context, ConsoleObject& object) {
  const HeldValue status = object.Call("GetStatus");
  if (status.Integer("LastErrorCode")) context.transcript.Note("the Xtra says: " + status.Text("LastError"));
}

bool ListDevices(CommandContext& context) {
  if (!context.arguments.End()) return false;
  ConsoleObject object(context.host, context.catalog);
  if (!object.error().empty()) return context.arguments.Fail(object.error());
  const HeldValue found = object.Call("FindHidDevices");
  std::vector<HeldValue> collections;
  for (const MoaMmValue& item : found.lingo().items) {
    context.host.values().AddRef(item);
    collections.emplace_back(context.host.values(), item);
  }
  std::map<std::pair<MoaLong, MoaLong>, int> withIds;
  for (const HeldValue& collection : collections)
    ++withIds[{collection.Integer("VendorID"), collection.Integer("ProductID")}];
  context.transcript.Note(std::to_string(collections.size()) + " HID collection(s)");
  int number = 0;
  for (const HeldValue& collection : collections) {
    const MoaLong vendor = collection.Integer("VendorID"), product = collection.Integer("ProductID");
    context.transcript.Note(
        std::to_string(++number) + ": " + Transcript::StringLiteral(collection.Text("Product")) + " by " +
        Transcript::StringLiteral(collection.Text("Manufacturer")) + ", serial " +
        Transcript::StringLiteral(collection.Text("SerialNumberString")));
    context.transcript.Note("   vendor " + Hex(vendor, 4) + " (" + std::to_string(vendor) + "), product " +
                            Hex(product, 4) + " (" + std::to_string(product) + "), release " +
                            Hex(collection.Integer("ReleaseNumber"), 4) + ", interface " +
                            std::to_string(collection.Integer("InterfaceNumber")));
    context.transcript.Note("   " + UsageText(collection.Integer("UsagePage"), collection.Integer("Usage")));
    context.transcript.Note("   reports: input " + std::to_string(collection.Integer("InputReportByteLength")) +
                            ", output " + std::to_string(collection.Integer("OutputReportByteLength")) +
                            ", feature " + std::to_string(collection.Integer("FeatureReportByteLength")) +
                            " bytes" + (collection.Integer("SystemOwned") ? "; #SystemOwned" : "") +
                            (collection.Integer("Protected") ? "; #Protected" : ""));
    context.transcript.Note("   path " + Transcript::StringLiteral(collection.Text("Path")));
    context.transcript.Note("   " + OpeningLine(collection, withIds[{vendor, product}]));
  }
  TellLastError(context, object);
  return true;
}

// <"path"> or <vendorId> <productId>: opens it on the console's object.
// False with the arguments' error, or true with opened telling whether the
// Xtra opened it (and the transcript why not).
bool OpenNamedDevice(CommandContext& context, ConsoleObject& object, bool* opened) {
  *opened = false;
  std::string written;
  if (!context.arguments.AsWritten("a path, or a vendor id and a product id", &written)) return false;
  MoaMmValue first = kVoidMoaMmValue;
  std::string why;
  if (!ParseLiteral(context.host.values(), written, &first, &why)) return context.arguments.Fail(why);
  HeldValue device(context.host.values(), first);
  HeldValue answer(context.host.values(), kVoidMoaMmValue);
  if (device.IsText()) {
    answer = object.Call("OpenByPath", {device.value()});
  } else if (device.lingo().type == kMoaMmValueType_Integer) {
    int32_t productId = 0;
    if (!context.arguments.Integer("a product id", &productId)) return false;
    answer = object.Call("OpenById", {device.value(), object.Integer(productId).value()});
  } else {
    return context.arguments.Fail("expected a path, or a vendor id and a product id");
  }
  *opened = answer.IsText() && answer.lingo().text == "Ok";
  if (!*opened) context.transcript.Note("not opened: " + answer.Literal());
  return true;
}

bool ShowControls(CommandContext& context) {
  ConsoleObject object(context.host, context.catalog);
  if (!object.error().empty()) return context.arguments.Fail(object.error());
  bool opened = false;
  if (!OpenNamedDevice(context, object, &opened) || !context.arguments.End()) return false;
  if (!opened) return true;
  const HeldValue controls = object.Call("GetControls");
  if (controls.lingo().type != kMoaMmValueType_List) {
    context.transcript.Note(controls.Literal());
    return true;
  }
  context.transcript.Note(std::to_string(controls.lingo().items.size()) + " control(s)");
  for (const MoaMmValue& control : controls.lingo().items)
    context.transcript.Note(FormatLiteral(context.host.values(), control));
  return true;
}

// Each report's controls, and what each held in the previous report of the
// same ID, so that a change stands out.
class ReportPrinter {
 public:
  ReportPrinter(CommandContext& context, ConsoleObject& object) : context_(context), object_(object) {}

  void Print(double seconds, const HeldValue& report) {
    std::string line = gMaskTimes ? "~" : FormatSeconds(seconds);
    const LingoValueStore& values = context_.host.values();
    for (const MoaMmValue& item : report.lingo().items) {
      char byte[4];
      std::snprintf(byte, sizeof byte, " %02X", static_cast<unsigned>(values.Find(item)->integer & 0xFF));
      line += byte;
    }
    context_.transcript.Note(line);
    const HeldValue decoded = object_.Call("DecodeReport", {report.value()});
    if (decoded.lingo().type != kMoaMmValueType_PropList) {
      if (!decodeFailureTold_) context_.transcript.Note("  " + decoded.Literal());
      decodeFailureTold_ = true;
      return;
    }
    context_.transcript.Note("  " + Controls(decoded));
  }

 private:
  static std::string FormatSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
  }

  // [#ReportID: 1, *#X: 100, #Button1: 0]: * marks a change.
  std::string Controls(const HeldValue& decoded) {
    const LingoValueStore& values = context_.host.values();
    const LingoValue& list = decoded.lingo();
    std::map<std::string, std::string>& before = previous_[decoded.Integer("ReportID")];
    const bool hadOne = !before.empty();
    std::string text;
    for (size_t i = 0; i < list.keys.size(); ++i) {
      const std::string name = *values.SymbolName(values.Find(list.keys[i])->integer);
      const std::string value = FormatLiteral(values, list.items[i]);
      const bool changed = hadOne && before[name] != value;
      text += (text.empty() ? "" : ", ") + std::string(changed ? "*#" : "#") + name + ": " + value;
      before[name] = value;
    }
    return "[" + text + "]";
  }

  CommandContext& context_;
  ConsoleObject& object_;
  std::map<MoaLong, std::map<std::string, std::string>> previous_;
  bool decodeFailureTold_ = false;
};

bool Watch(CommandContext& context) {
  ConsoleObject object(context.host, context.catalog);
  if (!object.error().empty()) return context.arguments.Fail(object.error());
  bool opened = false;
  int32_t seconds = 0;
  if (!OpenNamedDevice(context, object, &opened) || !context.arguments.OptionalInteger(&seconds) ||
      !context.arguments.End())
    return false;
  if (seconds < 0) return context.arguments.Fail("time cannot run backwards");
  if (!opened) return true;
  const HeldValue info = object.Call("GetDeviceInfo");
  context.transcript.Note("watching " + Transcript::StringLiteral(info.Text("Product")) +
                          (seconds ? " for " + std::to_string(seconds) + " s" : "") +
                          ", Ctrl+C ends it; * marks a control that changed");

  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const Clock::time_point end = seconds ? start + std::chrono::seconds(seconds) : Clock::time_point::max();
  const InterruptCatcher interrupt;
  ReportPrinter printer(context, object);
  Clock::time_point nextStatus = start;
  while (!interrupt.interrupted() && Clock::now() < end) {
    for (;;) {
      const HeldValue report = object.Call("ReadPacket");
      if (report.lingo().type != kMoaMmValueType_List || report.lingo().items.empty()) break;
      printer.Print(std::chrono::duration<double>(Clock::now() - start).count(), report);
    }
    if (Clock::now() >= nextStatus) {
      if (!object.Call("GetStatus").Integer("Connected")) {
        context.transcript.Note("the device is gone");
        return true;
      }
      nextStatus = Clock::now() + std::chrono::milliseconds(100);
    }
    // No idle here: as while Director runs a message-window command, the
    // movie waits, and what the console's object filed is dropped with it.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  context.transcript.Note(interrupt.interrupted() ? "stopped" : "time is up");
  return true;
}

bool Help(CommandContext& context) {
  if (!context.arguments.End()) return false;
  context.transcript.Note("Lingo, one statement a line, as in Director's message window:");
  context.transcript.Note("  hid = new(xtra \"" + context.catalog.xtraName() + "\")");
  context.transcript.Note("  put OpenById(hid, 0x046D, 0xC52B)      -- or hid.OpenById(0x046D, 0xC52B)");
  context.transcript.Note("  put ReadPacket(hid)                     -- arguments are literals: numbers, strings, lists");
  context.transcript.Note("Host commands (devices lists what is plugged in, controls names a device's controls,");
  context.transcript.Note("watch shows its reports as they come; wait until waits, at most " +
                          std::to_string(kLongestWaitSeconds) + " s, for what comes in");
  context.transcript.Note("its own time, where idle would guess how long it takes):");
  for (const CommandInfo& command : HostCommands()) context.transcript.Note("  " + std::string(command.usage));
  return true;
}

}  // namespace

void MaskWatchTimes() { gMaskTimes = true; }

std::vector<CommandInfo> ConsoleCommands() {
  return {
      {"devices", "devices", ListDevices},
      {"controls", "controls \"<path>\"|<vendorId> <productId>", ShowControls},
      {"watch", "watch \"<path>\"|<vendorId> <productId> [seconds]", Watch},
      {"help", "help", Help},
  };
}

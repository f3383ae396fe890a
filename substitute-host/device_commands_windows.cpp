// The device commands under Wine: each device a script plugs is a virtual
// HID device (virtual-hid/), seen through Wine's own HID stack, with a
// report descriptor made from its properties or given whole. Whatever the
// script leaves plugged is unplugged when it ends: a device left in the
// prefix would come back with every Wine start.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "burst_command.h"
#include "host_commands.h"
#include "host_windows.h"
#include "idle_loop.h"
#include "lingo_literals.h"
#include "named_descriptors.h"
#include "report_descriptor.h"
#include "text_encoding.h"
#include "usage_report.h"
#include "virtual_hid.h"

using namespace director;

namespace {

struct ScriptDevice {
  std::unique_ptr<vhid::PluggedDevice> plugged;
  // Everything it received, as the stand-in keeps it: the driver hands each
  // report out once.
  std::vector<vhid::ReceivedReport> received;
  // From the properties; 0 for a descriptor given whole.
  std::uint16_t inputLength = 0;
};

std::map<std::string, ScriptDevice>& Devices() {
  static auto* devices = new std::map<std::string, ScriptDevice>;  // emptied by UnplugScriptDevices
  return *devices;
}

// The instance part of the stand-in's paths for the n-th device plugged, so
// that both builds name a device alike.
std::wstring InstanceFor(unsigned ordinal) {
  wchar_t instance[32];
  std::swprintf(instance, sizeof instance / sizeof instance[0], L"7&%08x&0&0000", ordinal * 2654435761u);
  return instance;
}

std::wstring Wide(const std::string& utf8) {
  const std::u16string units = Utf16FromUtf8(utf8);
  return std::wstring(units.begin(), units.end());
}

// Windows announces a plug or unplug a moment after it is done, and the
// Xtra hears of it only then. The host listens too and lets the commands
// idle until the announcement has come, so that what the Xtra files shows
// under the command, however long Wine takes.
class Announcements {
 public:
  static Announcements& Instance() {
    static auto* announcements = new Announcements;  // one window for the life of the process
    return *announcements;
  }

  // Idles until `path` has been announced as arriving or leaving, for at
  // most ten seconds; false when it was not. A removal is waited for with
  // the windows' messages alone: the movie idles after the command, once
  // the reader has met the removal too (Unplug).
  bool AwaitFor(IdleLoop& idle, const std::wstring& path, bool arrival) {
    const auto step = [&] { arrival ? idle.Once() : idle.Messages(); };
    const std::wstring key = Folded(path);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
      step();
      if ((arrival ? arrived_ : left_).erase(key)) break;
      if (std::chrono::steady_clock::now() > deadline) return false;
      Sleep(10);
    }
    // The Xtra's window hears the same broadcast just before or after this one.
    const auto heard = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
    while (std::chrono::steady_clock::now() < heard) {
      step();
      Sleep(10);
    }
    step();
    return true;
  }

 private:
  Announcements() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Listen;
    windowClass.lpszClassName = L"XTRAHOST_DEVICES";
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, L"XTRAHOST_DEVICES", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  }

  static std::wstring Folded(std::wstring path) {
    std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
    return path;
  }

  static LRESULT CALLBACK Listen(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
    if (message != WM_DEVICECHANGE || !broadcast || broadcast->dbcc_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
      return DefWindowProcW(window, message, wParam, lParam);
    if (wParam == DBT_DEVICEARRIVAL) Instance().arrived_.insert(Folded(broadcast->dbcc_name));
    if (wParam == DBT_DEVICEREMOVECOMPLETE) Instance().left_.insert(Folded(broadcast->dbcc_name));
    return TRUE;
  }

  HWND window_ = nullptr;
  std::set<std::wstring> arrived_;
  std::set<std::wstring> left_;
};

bool FindDevice(CommandArguments& arguments, ScriptDevice** device, std::string* name) {
  if (!arguments.Name("a device name", name)) return false;
  const auto found = Devices().find(FoldCase(*name));
  if (found == Devices().end()) return arguments.Fail("no device named " + *name + " is plugged in");
  *device = &found->second;
  return true;
}

bool ReportIdList(const LingoValue& list, const LingoValueStore& values, std::vector<std::uint8_t>* bytes) {
  for (const MoaMmValue& item : list.items) {
    const LingoValue* value = values.Find(item);
    if (value->type != kMoaMmValueType_Integer || value->integer < 1 || value->integer > 255) return false;
    bytes->push_back(static_cast<std::uint8_t>(value->integer));
  }
  return true;
}

bool SetIntegerProperty(vhid::DeviceSpec& spec, ReportLayout& layout, const std::string& key, MoaLong value) {
  if (value < 0 || value > 0xFFFF) return false;
  const auto number = static_cast<USHORT>(value);
  if (key == "vendorid")
    spec.vendorId = number;
  else if (key == "productid")
    spec.productId = number;
  else if (key == "version" || key == "release")
    spec.versionNumber = number;
  else if (key == "usage")
    layout.usage = number;
  else if (key == "usagepage")
    layout.usagePage = number;
  else if (key == "input")
    layout.inputLength = number;
  else if (key == "output")
    layout.outputLength = number;
  else if (key == "feature")
    layout.featureLength = number;
  else
    return false;
  return true;
}

bool SetStringProperty(vhid::DeviceSpec& spec, const std::string& key, const std::string& text) {
  if (key == "product")
    spec.product = Wide(text);
  else if (key == "manufacturer")
    spec.manufacturer = Wide(text);
  else if (key == "serial")
    spec.serialNumber = Wide(text);
  else if (key == "instance")
    spec.instance = Wide(text);
  else
    return false;
  return true;
}

bool SetReportIds(ReportLayout& layout, const std::string& key, const LingoValue& list,
                  const LingoValueStore& values) {
  std::vector<std::uint8_t>* ids = key == "inputids"     ? &layout.inputIds
                                   : key == "outputids"  ? &layout.outputIds
                                   : key == "featureids" ? &layout.featureIds
                                                         : nullptr;
  return ids && ReportIdList(list, values, ids);
}

bool Plug(CommandContext& context) {
  CommandArguments& arguments = context.arguments;
  std::string name;
  std::vector<std::pair<std::string, const LingoValue*>> properties;
  if (!arguments.Name("a name for the device", &name) || !arguments.Properties("the device", &properties) ||
      !arguments.End())
    return false;
  if (Devices().count(FoldCase(name))) return arguments.Fail("a device named " + name + " is plugged in already");
  static unsigned plugged = 0;
  vhid::DeviceSpec spec;
  spec.instance = InstanceFor(++plugged);
  ReportLayout layout;
  for (const auto& [property, value] : properties) {
    const std::string key = FoldCase(property);
    std::string why;
    if (key == "descriptor" && !DescriptorOf(*value, arguments.values(), spec.reportDescriptor, why))
      return arguments.Fail(why);
    const bool set = key == "descriptor" ||
                     (value->type == kMoaMmValueType_String    ? SetStringProperty(spec, key, value->text)
                      : value->type == kMoaMmValueType_Integer ? SetIntegerProperty(spec, layout, key, value->integer)
                      : value->type == kMoaMmValueType_List    ? SetReportIds(layout, key, *value, arguments.values())
                                                               : false);
    if (!set) return arguments.Fail("#" + property + " is no device property under Wine, or its value does not fit");
  }
  const bool described = spec.reportDescriptor.empty();
  if (described) spec.reportDescriptor = MakeReportDescriptor(layout);
  Announcements& announcements = Announcements::Instance();
  auto device = std::make_unique<vhid::PluggedDevice>(spec);
  if (const DWORD error = device->Plug())
    return arguments.Fail("the virtual device did not plug in (error " + std::to_string(error) + ")");
  const std::string path = Utf8FromUtf16(device->path().c_str());
  ScriptDevice& added = Devices()[FoldCase(name)];
  added.plugged = std::move(device);
  added.inputLength = described ? layout.inputLength : 0;
  context.transcript.Note("plugged " + name + ": " + path);
  if (!announcements.AwaitFor(context.idle, added.plugged->path(), true))
    return arguments.Fail("Windows did not announce the device's arrival");
  return true;
}

// unplug pad from hid: Windows announces the removal and hid's reader meets
// it, each in its own time. The movie idles after both, so that the
// removal's handler call and then what the reader met show under the
// command, in that order, however Wine's pace goes.
bool Unplug(CommandContext& context) {
  ScriptDevice* device = nullptr;
  std::string name;
  if (!FindDevice(context.arguments, &device, &name)) return false;
  std::string object;
  ScriptInstance* reader = nullptr;
  if (context.arguments.More()) {
    if (!context.arguments.Word("from") || !context.arguments.Name("an object", &object)) return false;
    reader = context.instanceNamed(object);
    if (!reader) return context.arguments.Fail("no object is named " + object);
  }
  if (!context.arguments.End()) return false;
  const std::wstring path = device->plugged->path();
  const DWORD error = device->plugged->Unplug();
  Devices().erase(FoldCase(name));
  if (error) return context.arguments.Fail("the virtual device did not unplug (error " + std::to_string(error) + ")");
  context.transcript.Note("unplugged " + name);
  if (!Announcements::Instance().AwaitFor(context.idle, path, false))
    return context.arguments.Fail("Windows did not announce the device's removal");
  if (reader && !AwaitStoppedReading(context, *reader))
    return context.arguments.Fail(object + " is still reading after " + std::to_string(kLongestWaitSeconds) + " s");
  return true;
}

bool SetStalled(CommandContext& context, bool stalled) {
  ScriptDevice* device = nullptr;
  std::string name;
  if (!FindDevice(context.arguments, &device, &name) || !context.arguments.End()) return false;
  const vhid::Control& control = device->plugged->control();
  if (const DWORD error = stalled ? control.Stall() : control.Unstall())
    return context.arguments.Fail("the virtual device refused (error " + std::to_string(error) + ")");
  context.transcript.Note(name + (stalled ? " takes no output reports" : " takes output reports again"));
  return true;
}

bool Stall(CommandContext& context) { return SetStalled(context, true); }

bool Unstall(CommandContext& context) { return SetStalled(context, false); }

// Zero-padded to the input length, as the stand-in pads it: hidclass drops
// a report shorter than its ID's. Known only for a device made from its
// properties; a descriptor's device gets the report as written.
bool FitToInput(CommandArguments& arguments, const ScriptDevice& device, std::vector<uint8_t>& report) {
  if (device.inputLength && report.size() > device.inputLength)
    return arguments.Fail("the report is longer than the device's input reports");
  if (report.size() < device.inputLength) report.resize(device.inputLength);
  return true;
}

// The report as applications read it: its ID first, 0 for a device that
// does not number its reports.
bool Send(CommandContext& context) {
  ScriptDevice* device = nullptr;
  std::string name;
  std::vector<uint8_t> report;
  if (!FindDevice(context.arguments, &device, &name)) return false;
  std::vector<std::pair<std::string, const LingoValue*>> controls;
  std::string why;
  if (context.arguments.TakeProperties(&controls)) {
    const std::string path(device->plugged->path().begin(), device->plugged->path().end());  // ASCII
    if (!BuildInputReport(path, controls, report, why)) return context.arguments.Fail(why);
  } else if (!context.arguments.Bytes("the report", &report)) {
    return false;
  }
  if (!context.arguments.End() || !FitToInput(context.arguments, *device, report)) return false;
  if (const DWORD error = device->plugged->control().PushInput(report))
    return context.arguments.Fail("the virtual device did not send it (error " + std::to_string(error) + ")");
  return true;
}

bool Burst(CommandContext& context) {
  BurstRequest request;
  ScriptDevice* device = nullptr;
  if (!FindDevice(context.arguments, &device, &request.name) || !ReadBurst(context.arguments, &request) ||
      !FitToInput(context.arguments, *device, request.report))
    return false;
  SendBurst(context, request, [&] { return device->plugged->control().PushInput(request.report) == 0; });
  return true;
}

const char* HowItArrived(vhid::Arrival how) {
  switch (how) {
    case vhid::Arrival::InterruptWrite: return "";
    case vhid::Arrival::OutputReport: return " over the control pipe";
    case vhid::Arrival::SetFeature: return " as a feature report";
  }
  return "";
}

bool Received(CommandContext& context) {
  ScriptDevice* device = nullptr;
  std::string name;
  if (!FindDevice(context.arguments, &device, &name) || !context.arguments.End()) return false;
  const DWORD error = device->plugged->control().PopReceived(&device->received);
  if (device->received.empty()) context.transcript.Note(name + " received nothing");
  LingoValueStore values;
  for (const vhid::ReceivedReport& report : device->received) {
    const MoaMmValue list = values.List();
    for (BYTE byte : report.bytes) {
      const MoaMmValue item = values.Integer(byte);
      values.Append(list, item);
      values.Release(item);
    }
    context.transcript.Note(name + " received " + FormatLiteral(values, list) + HowItArrived(report.how));
    values.Release(list);
  }
  if (error) return context.arguments.Fail("the virtual device lost reports (error " + std::to_string(error) + ")");
  return true;
}

bool Feature(CommandContext& context) {
  ScriptDevice* device = nullptr;
  std::string name;
  std::vector<uint8_t> report;
  if (!FindDevice(context.arguments, &device, &name) || !context.arguments.Bytes("the feature report", &report) ||
      !context.arguments.End())
    return false;
  if (const DWORD error = device->plugged->control().PresetFeature(report))
    return context.arguments.Fail("the virtual device refused the feature report (error " + std::to_string(error) +
                                  ")");
  return true;
}

}  // namespace

std::vector<CommandInfo> DeviceCommands() {
  return {
      {"plug",
       "plug <name> [#vendorId: 0x046D, #productId: 0xC52B, #product: \"Pad\", #input: 9, ... or #descriptor: [...], "
       "#gamepad, #keyboard or #buttonBox]",
       Plug},
      {"unplug", "unplug <name> [from <object>]", Unplug},
      {"send", "send <name> [<report ID>, <byte>, ...] or [#X: 100, #Button1: 1]", Send, false},
      {"burst", "burst <name> [<report ID>, <byte>, ...] <rate> per second for <duration> ms", Burst},
      {"received", "received <name>", Received},
      {"feature", "feature <name> [<report ID>, <byte>, ...]", Feature},
      {"stall", "stall <name>", Stall},
      {"unstall", "unstall <name>", Unstall},
  };
}

bool ScriptDeviceRead(const std::string&, bool*, std::string* why) {
  *why = "under Wine the host cannot see the reader's reads: wait until <object> has <n> packets";
  return false;
}

void UnplugScriptDevices() { Devices().clear(); }

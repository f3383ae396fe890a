// vhidctl: virtual HID devices from the command line, for trying things by
// hand in the build's Wine prefix. Devices stay plugged in after it exits.
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "virtual_hid.h"

namespace {

const char kUsage[] =
    "usage: vhidctl plug VID PID [release=0100] [descriptor=HEX] [instance=0000] [manufacturer=TEXT]\n"
    "                    [product=TEXT] [serial=TEXT]      plug a device in; prints its HID path\n"
    "       vhidctl unplug INSTANCE-ID | cleanup           remove one virtual device | all of them\n"
    "       vhidctl list                                   the virtual devices' instance IDs\n"
    "       vhidctl path INSTANCE-ID                       print its HID path\n"
    "       vhidctl push INSTANCE-ID HEX                   the device sends an input report\n"
    "       vhidctl feature INSTANCE-ID HEX                its feature report of that ID holds these bytes\n"
    "       vhidctl received INSTANCE-ID                   what it received, oldest first\n"
    "       vhidctl stall|unstall INSTANCE-ID              hold its output and feature requests | let them go\n"
    "Reports are hex, the report ID first (00 when unnumbered); ids and release are hex.\n"
    "INSTANCE-ID is ROOT\\VID_VVVV&PID_PPPP\\<instance>.\n";

bool ParseHex(const std::wstring& text, std::vector<BYTE>* bytes) {
  std::wstring digits;
  for (wchar_t c : text)
    if (!std::iswspace(c)) digits += c;
  if (digits.size() % 2) return false;
  for (size_t i = 0; i < digits.size(); i += 2) {
    wchar_t* end = nullptr;
    const std::wstring pair = digits.substr(i, 2);
    const unsigned long value = std::wcstoul(pair.c_str(), &end, 16);
    if (*end) return false;
    bytes->push_back(static_cast<BYTE>(value));
  }
  return true;
}

bool ParseId(const std::wstring& text, USHORT* id) {
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(text.c_str(), &end, 16);
  *id = static_cast<USHORT>(value);
  return !text.empty() && !*end && value <= 0xFFFF;
}

// name=value arguments of plug.
bool ParseSpec(const std::vector<std::wstring>& args, vhid::DeviceSpec* spec) {
  if (args.size() < 2 || !ParseId(args[0], &spec->vendorId) || !ParseId(args[1], &spec->productId)) return false;
  spec->versionNumber = 0x0100;
  for (size_t i = 2; i < args.size(); ++i) {
    const size_t equals = args[i].find(L'=');
    if (equals == std::wstring::npos) return false;
    const std::wstring name = args[i].substr(0, equals), value = args[i].substr(equals + 1);
    bool ok = true;
    if (name == L"release") ok = ParseId(value, &spec->versionNumber);
    else if (name == L"descriptor") ok = ParseHex(value, &spec->reportDescriptor);
    else if (name == L"instance") spec->instance = value;
    else if (name == L"manufacturer") spec->manufacturer = value;
    else if (name == L"product") spec->product = value;
    else if (name == L"serial") spec->serialNumber = value;
    else ok = false;
    if (!ok) return false;
  }
  return true;
}

const char* ArrivalName(vhid::Arrival how) {
  switch (how) {
    case vhid::Arrival::InterruptWrite: return "write";
    case vhid::Arrival::OutputReport: return "output report";
    case vhid::Arrival::SetFeature: return "set feature";
  }
  return "?";
}

// The commands that talk to one present device.
DWORD RunOnDevice(const std::wstring& command, const std::vector<std::wstring>& args) {
  std::wstring path;
  DWORD error = vhid::FindHidPath(args[0], &path);
  if (error) return error;
  if (command == L"path") {
    std::printf("%ls\n", path.c_str());
    return ERROR_SUCCESS;
  }
  vhid::Control control;
  if ((error = control.Open(path))) return error;
  std::vector<BYTE> report;
  if (command == L"push" || command == L"feature") {
    if (args.size() != 2 || !ParseHex(args[1], &report) || report.empty()) return ERROR_BAD_ARGUMENTS;
    return command == L"push" ? control.PushInput(report) : control.PresetFeature(report);
  }
  if (command == L"stall") return control.Stall();
  if (command == L"unstall") return control.Unstall();
  if (command != L"received") return ERROR_BAD_ARGUMENTS;
  std::vector<vhid::ReceivedReport> received;
  error = control.PopReceived(&received);
  for (const auto& r : received) {
    std::printf("%s:", ArrivalName(r.how));
    for (BYTE b : r.bytes) std::printf(" %02X", b);
    std::printf("\n");
  }
  return error;
}

DWORD Run(const std::wstring& command, const std::vector<std::wstring>& args) {
  if (command == L"cleanup" && args.empty()) return vhid::RemoveAllDevices();
  if (command == L"list" && args.empty()) {
    std::vector<std::wstring> instanceIds;
    const DWORD error = vhid::ListDevices(&instanceIds);
    for (const auto& id : instanceIds) std::printf("%ls\n", id.c_str());
    return error;
  }
  if (command == L"plug") {
    vhid::DeviceSpec spec;
    if (!ParseSpec(args, &spec)) return ERROR_BAD_ARGUMENTS;
    const DWORD error = vhid::PlugDevice(spec);
    std::wstring path;
    if (!error && !vhid::FindHidPath(vhid::InstanceId(spec), &path)) std::printf("%ls\n", path.c_str());
    return error;
  }
  if (args.empty()) return ERROR_BAD_ARGUMENTS;
  if (command == L"unplug") return args.size() == 1 ? vhid::UnplugDevice(args[0]) : ERROR_BAD_ARGUMENTS;
  return RunOnDevice(command, args);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const DWORD error = Run(argv[1], std::vector<std::wstring>(argv + 2, argv + argc));
  if (error == ERROR_BAD_ARGUMENTS) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (error) std::fprintf(stderr, "vhidctl: error %lu\n", error);
  return error ? 1 : 0;
}

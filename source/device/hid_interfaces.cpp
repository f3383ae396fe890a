#include "device/hid_interfaces.h"

#include <cstring>
#include <memory>

#include "device/scoped_resources.h"
#include "diagnostics/system_message.h"
#include "platform.h"
#include "values/host_text.h"

namespace {

// Room for a path of some 500 characters, longer than Windows makes them.
constexpr size_t kUsualDetailUnits = 512;

const char kUntoldPath[] =
    "Could not list a HID collection: its path has characters that this Director's text encoding lacks";

char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// GUID_DEVINTERFACE_HID, the interface class under which the HID class
// driver names every collection it makes.
bool IsHidInterfaceClass(const char* text) {
  static const char kHidClass[] = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
  size_t i = 0;
  for (; kHidClass[i]; ++i)
    if (LowerCase(text[i]) != kHidClass[i]) return false;
  return text[i] == '\0';
}

// The path of the interface at `index`: false at the end of the list, with
// `result` an error when the list ended early; `path` empty, and `result`
// an error, when only this interface would not tell it. `storage` is kept
// from one interface to the next: a buffer that holds any usual path saves
// asking for each one's size.
bool InterfacePathAt(HDEVINFO set, const GUID& hidGuid, DWORD index, std::vector<WCHAR>& storage, std::string& path,
                     XtraResult& result) {
  path.clear();
  SP_DEVICE_INTERFACE_DATA interfaceData{};
  interfaceData.cbSize = sizeof interfaceData;
  if (!SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &interfaceData)) {
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_ITEMS) SetSystemError(result, "Could not list every HID collection", error);
    return false;
  }
  for (;;) {
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    DWORD required = 0;
    if (SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, static_cast<DWORD>(storage.size() * sizeof(WCHAR)),
                                         &required, nullptr)) {
      // Kept, shown and opened again in the host's encoding, as every text;
      // a UTF-16 unit takes at most three bytes of it. A path that encoding
      // cannot hold would name no collection: the movie hears of it instead.
      const size_t units = std::char_traits<WCHAR>::length(detail->DevicePath);
      const std::unique_ptr<char[]> text(new char[3 * units + 1]);
      if (WideToHostTextExactly(detail->DevicePath, text.get(), 3 * units + 1))
        path = text.get();
      else
        result.SetError(kUntoldPath, XtraResult::kNoCode);
      return true;
    }
    const DWORD error = GetLastError();
    const size_t units = (required + sizeof(WCHAR) - 1) / sizeof(WCHAR);
    if (error != ERROR_INSUFFICIENT_BUFFER || units <= storage.size()) {
      SetSystemError(result, "Could not read the path of a HID collection", error);
      return true;
    }
    storage.resize(units);
  }
}

}  // namespace

XtraResult ListHidInterfaces(std::vector<std::string>& paths) {
  XtraResult result;
  result.SetOk();
  GUID hidGuid;
  HidD_GetHidGuid(&hidGuid);
  const ScopedDeviceInfoSet set(
      SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set) {
    SetFixedError(result, "Invalid Handle", GetLastError());
    return result;
  }
  // WCHARs, so that the path is aligned for them.
  std::vector<WCHAR> storage(kUsualDetailUnits);
  std::string path;
  for (DWORD index = 0; InterfacePathAt(set.get(), hidGuid, index, storage, path, result); ++index)
    if (!path.empty()) paths.push_back(path);
  return result;
}

bool IsHidInterfacePath(const char* path) {
  static const char kPrefix[] = "\\\\?\\hid#";
  for (size_t i = 0; i < sizeof kPrefix - 1; ++i)
    if (LowerCase(path[i]) != kPrefix[i]) return false;
  const char* rest = path + sizeof kPrefix - 1;
  // No further path parts: a device path names no folder or file below it.
  if (std::strpbrk(rest, "\\/:")) return false;
  const char* classPart = std::strrchr(rest, '#');
  // The device and instance parts, each not empty, then the class.
  const char* instanceEnd = classPart;
  if (!classPart || classPart == rest) return false;
  const char* deviceEnd = static_cast<const char*>(std::memchr(rest, '#', static_cast<size_t>(instanceEnd - rest)));
  if (!deviceEnd || deviceEnd == rest || deviceEnd + 1 == instanceEnd) return false;
  return IsHidInterfaceClass(classPart + 1);
}

bool SamePath(const std::string& one, const char* other) {
  size_t i = 0;
  for (; i < one.size() && other[i]; ++i)
    if (LowerCase(one[i]) != LowerCase(other[i])) return false;
  return i == one.size() && !other[i];
}

#include "device_broadcast.h"

#include <cstddef>
#include <cstring>

#include "host_windows.h"
#include "text_encoding.h"

namespace {

constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
constexpr GUID kHidInterface = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

}  // namespace

std::vector<char> InterfaceBroadcast(HWND window, const std::string& path, InterfaceClass interfaceClass) {
  const bool unicode = IsWindowUnicode(window) != FALSE;
  const std::u16string wide = Utf16FromUtf8(path);
  const std::string narrow = HostText(path, TextEncoding::kWindows1252);
  const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
  const size_t nameBytes = unicode ? (wide.size() + 1) * sizeof(WCHAR) : narrow.size() + 1;
  std::vector<char> payload(offset + nameBytes, '\0');
  auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(payload.data());
  broadcast->dbcc_size = static_cast<DWORD>(payload.size());
  broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  broadcast->dbcc_classguid = interfaceClass == InterfaceClass::HidCollection ? kHidInterface : kUsbDeviceInterface;
  if (unicode)
    std::memcpy(payload.data() + offset, wide.data(), wide.size() * sizeof(WCHAR));
  else
    std::memcpy(payload.data() + offset, narrow.data(), narrow.size());
  return payload;
}

std::vector<char> VolumeBroadcast() {
  std::vector<char> payload(sizeof(DEV_BROADCAST_VOLUME), '\0');
  auto* broadcast = reinterpret_cast<DEV_BROADCAST_VOLUME*>(payload.data());
  broadcast->dbcv_size = sizeof(DEV_BROADCAST_VOLUME);
  broadcast->dbcv_devicetype = DBT_DEVTYP_VOLUME;
  broadcast->dbcv_unitmask = 1u << ('E' - 'A');
  return payload;
}

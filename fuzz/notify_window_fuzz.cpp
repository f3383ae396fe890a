// Random WM_DEVICECHANGE broadcasts into the monitoring window's procedure,
// and random paths into the id parsers: whatever a broadcast claims about its
// size or holds in its name, nothing is read beyond it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "device/interface_path.h"
#include "monitor/notify_window.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const std::string path(reinterpret_cast<const char*>(data + 3), size - 3);
  int32_t vendorId = -1, productId = -1;
  if (ParseVidPid(path.c_str(), &vendorId, &productId) &&
      (vendorId < 0 || vendorId > 0xFFFF || productId < 0 || productId > 0xFFFF))
    std::abort();
  const int32_t interfaceNumber = InterfaceNumberOf(path.c_str());
  if (interfaceNumber < -1 || interfaceNumber > 0xFF) std::abort();

  // A broadcast exactly as large as it says, its name not necessarily ended.
  const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
  std::vector<char> broadcast(offset + (size - 3));
  auto* header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(broadcast.data());
  header->dbcc_size = static_cast<DWORD>(broadcast.size());
  header->dbcc_devicetype = data[0] % 2 ? DBT_DEVTYP_DEVICEINTERFACE : data[0];
  std::memcpy(broadcast.data() + offset, data + 3, size - 3);
  const WPARAM codes[] = {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVNODES_CHANGED, data[1]};
  NotifyWindowProc(nullptr, data[2] % 2 ? WM_DEVICECHANGE : data[2], codes[data[1] % 4],
                   reinterpret_cast<LPARAM>(broadcast.data()));
  return 0;
}

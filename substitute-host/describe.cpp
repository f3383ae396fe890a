#include "describe.h"

#include <cstdio>

#include "director_host.h"

using namespace director;

namespace {

const char* InterfaceName(const MoaID& id) {
  if (SameMoaID(id, IID_IMoaUnknown)) return "IMoaUnknown";
  if (SameMoaID(id, IID_IMoaClassFactory)) return "IMoaClassFactory";
  if (SameMoaID(id, IID_IMoaRegister)) return "IMoaRegister";
  if (SameMoaID(id, IID_IMoaMmXScript)) return "IMoaMmXScript";
  if (SameMoaID(id, IID_IMoaNotificationClient)) return "IMoaNotificationClient";
  return "unknown interface";
}

}  // namespace

int Describe(const std::string& path) {
  DirectorHost host;
  if (!host.Load(path)) {
    std::fprintf(stderr, "xtrahost: %s\n", host.error().c_str());
    return 1;
  }
  std::printf("Class %s, instance data of %d bytes\n", FormatMoaID(host.classId()).c_str(),
              static_cast<int>(host.instanceSize()));
  for (const MoaClassInterfaceInfo& entry : host.classInfo())
    std::printf("  %-24s %s  version 0x%08X\n", InterfaceName(entry.interfaceId),
                FormatMoaID(entry.interfaceId).c_str(), static_cast<unsigned>(entry.interfaceVersion));

  const MoaError status = host.Register();
  std::printf("\nRegister: status %d\n", static_cast<int>(status));
  for (const DictPut& put : host.cache().entry().puts()) {
    if (put.type == kMoaDictType_CString)
      std::printf("\n\"%s\" (message table):\n%s\n", put.key.c_str(), put.data.c_str());
    else
      std::printf("\"%s\" (type %d): %d\n", put.key.c_str(), static_cast<int>(put.type),
                  put.data.empty() ? 0 : put.data[0]);
  }
  std::printf("DllCanUnloadNow: %s\n", host.module().DllCanUnloadNow() == kMoaErr_NoErr ? "yes" : "no");
  for (const std::string& leak : host.Leaks()) std::printf("left behind: %s\n", leak.c_str());
  return status == kMoaErr_NoErr && host.Leaks().empty() ? 0 : 1;
}

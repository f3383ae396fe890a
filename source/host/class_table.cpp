#include "host/class_table.h"

#include "host/interface_objects.h"
#include "host/script_instance.h"

const MoaID kHidBridgeClassId = {0x6D1E4C2A, 0x8B37, 0x4F15, {0xA4, 0x2E, 0x48, 0x69, 0x64, 0x42, 0x72, 0x67}};

namespace {

struct InterfaceRow {
  const MoaID& interfaceId;
  MoaLong interfaceVersion;
  InterfaceFactory factory;
};

const InterfaceRow kInterfaceRows[] = {
    {IID_IMoaRegister, kHidBridgeClassVersion, CreateInterfaceObject<TStdXtra_IMoaRegister>},
    {IID_IMoaMmXScript, kHidBridgeClassVersion, CreateInterfaceObject<TStdXtra_IMoaMmXScript>},
    {IID_IMoaNotificationClient, kHidBridgeClassVersion, CreateInterfaceObject<TStdXtra_IMoaNotificationClient>},
};

}  // namespace

MoaError WalkClassTable(const MoaID* classFilter, ClassVisitor visitClass, InterfaceVisitor visitInterface,
                        void* context) {
  if (classFilter && !SameMoaID(*classFilter, kHidBridgeClassId)) return kMoaErr_NoErr;
  if (visitClass) {
    MoaError stop = visitClass(context, kHidBridgeClassId, kHidBridgeClassVersion,
                               static_cast<MoaLong>(sizeof(XtraInstance)), XtraInstanceCreate, XtraInstanceDestroy);
    if (stop) return stop;
  }
  if (visitInterface) {
    for (const InterfaceRow& row : kInterfaceRows) {
      MoaError stop = visitInterface(context, kHidBridgeClassId, kHidBridgeClassVersion, row.interfaceId,
                                     row.interfaceVersion, row.factory);
      if (stop) return stop;
    }
  }
  return kMoaErr_NoErr;
}

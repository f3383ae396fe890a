// The five entry points through which Director discovers the class and makes
// its interface objects. Everything else of the module stays hidden.
#include "device/usb_class_base.h"
#include "host/class_table.h"
#include "host/interface_objects.h"
#include "monitor/notify_window.h"
#include "platform.h"

#if defined(_WIN32)
#define XTRA_EXPORT extern "C"
#else
#define XTRA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

struct ClassFormRequest {
  MoaLong* instanceSize;
  MoaClassCreateProc* create;
  MoaClassDestroyProc* destroy;
};

MoaError CopyClassForm(void* context, const MoaID&, MoaLong, MoaLong instanceSize, MoaClassCreateProc create,
                       MoaClassDestroyProc destroy) {
  auto* request = static_cast<ClassFormRequest*>(context);
  *request->instanceSize = instanceSize;
  *request->create = create;
  *request->destroy = destroy;
  return 1;  // found: stop the walk
}

struct InterfaceRequest {
  const MoaID* interfaceId;
  InterfaceFactory factory;
};

MoaError FindFactory(void* context, const MoaID&, MoaLong, const MoaID& interfaceId, MoaLong,
                     InterfaceFactory factory) {
  auto* request = static_cast<InterfaceRequest*>(context);
  if (!SameMoaID(*request->interfaceId, interfaceId)) return 0;
  request->factory = factory;
  return 1;
}

struct ClassInfoFill {
  MoaClassInterfaceInfo* next;  // null while only counting
  int count;
};

MoaError AddClassEntry(void* context, const MoaID& classId, MoaLong classVersion, MoaLong, MoaClassCreateProc,
                       MoaClassDestroyProc) {
  auto* fill = static_cast<ClassInfoFill*>(context);
  if (fill->next) *fill->next++ = {classId, classVersion, IID_IMoaClassFactory, 1};
  ++fill->count;
  return 0;
}

MoaError AddInterfaceEntry(void* context, const MoaID& classId, MoaLong classVersion, const MoaID& interfaceId,
                           MoaLong interfaceVersion, InterfaceFactory) {
  auto* fill = static_cast<ClassInfoFill*>(context);
  if (fill->next) *fill->next++ = {classId, classVersion, interfaceId, interfaceVersion};
  ++fill->count;
  return 0;
}

}  // namespace

XTRA_EXPORT MoaError MOA_CALL DllGetClassObject(const MoaID*, const MoaID*, void**) { return kMoaErr_BadClass; }

// Director unloads the module only after this said yes, which it does not
// while a reader thread of a closed device is still ending.
XTRA_EXPORT MoaError MOA_CALL DllCanUnloadNow() {
  if (gModuleObjectCount != 0 || UsbClassBase::ThreadsRunning()) return kMoaErr_XtraInUse;
  ReleaseNotifyWindowClass();
  return kMoaErr_NoErr;
}

XTRA_EXPORT MoaError MOA_CALL DllGetClassForm(const MoaID* classId, MoaLong* instanceSize,
                                              MoaClassCreateProc* create, MoaClassDestroyProc* destroy) {
  ClassFormRequest request{instanceSize, create, destroy};
  return WalkClassTable(classId, CopyClassForm, nullptr, &request) ? kMoaErr_NoErr : kMoaErr_BadClass;
}

XTRA_EXPORT MoaError MOA_CALL DllGetInterface(void* instance, const MoaID* classId, const MoaID* interfaceId,
                                              void** out) {
  InterfaceRequest request{interfaceId, nullptr};
  WalkClassTable(classId, nullptr, FindFactory, &request);
  return request.factory ? request.factory(instance, out) : kMoaErr_BadInterface;
}

XTRA_EXPORT MoaError MOA_CALL DllGetClassInfo(IMoaCalloc* allocator, MoaClassInterfaceInfo** info) {
  ClassInfoFill fill{nullptr, 0};
  WalkClassTable(nullptr, AddClassEntry, AddInterfaceEntry, &fill);
  const auto size = static_cast<MoaUlong>((fill.count + 1) * sizeof(MoaClassInterfaceInfo));
  *info = static_cast<MoaClassInterfaceInfo*>(allocator->NRAlloc(size));
  if (!*info) return kMoaErr_OutOfMem;
  fill = {*info, 0};
  WalkClassTable(nullptr, AddClassEntry, AddInterfaceEntry, &fill);
  *fill.next = MoaClassInterfaceInfo{};
  return kMoaErr_NoErr;
}

// The loader's entry point has no work of its own.
XTRA_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

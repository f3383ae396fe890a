// The module: exports, the class, its interface objects and registration.
#include <new>

#include "fake_xtra.h"

#if defined(_WIN32)
#define FAKE_EXPORT extern "C"
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace fake {

using namespace xtra_view;
namespace {

constexpr MoaID kClassId = {0xFA4E0001, 0x0001, 0x0001, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
constexpr MoaLong kVersion = 1;

int gLiveObjects = 0;

// An interface object: its own count, one reference on its instance for as
// long as it lives, and everything else asked of the instance itself.
template <class Interface>
struct InterfaceObject : Interface {
  explicit InterfaceObject(FakeInstance* instance) : owner(instance) {
    owner->unknown()->AddRef();
    ++gLiveObjects;
  }
  MoaError XTRA_CALL QueryInterface(const MoaID* iid, void** out) override {
    return owner->unknown()->QueryInterface(iid, out);
  }
  MoaUlong XTRA_CALL AddRef() override { return static_cast<MoaUlong>(++references); }
  MoaUlong XTRA_CALL Release() override {
    if (--references > 0) return static_cast<MoaUlong>(references);
    FakeInstance* instance = owner;
    instance->calloc->NRFree(this);
    --gLiveObjects;
    instance->unknown()->Release();
    return 0;
  }

  FakeInstance* owner;
  MoaLong references = 1;
};

struct Registrar final : InterfaceObject<IMoaRegister> {
  using InterfaceObject::InterfaceObject;
  MoaError XTRA_CALL Register(IMoaCache* cache, IMoaDict* xtraDict) override {
    IMoaDict* entry = nullptr;
    MoaError status = cache->AddRegistryEntry(xtraDict, &kClassId, &IID_IMoaMmXScript, &entry);
    if (status != kMoaErr_NoErr) return status;
    status = entry->Put(kMoaDictType_CString, kMessageTable, 0, "msgTable");
    const char safe = 1;
    if (status == kMoaErr_NoErr) status = entry->Put(kMoaDictType_Bool, &safe, 1, "safeForShockwave");
    return status;
  }
};

struct Script final : InterfaceObject<IMoaMmXScript> {
  using InterfaceObject::InterfaceObject;
  MoaError XTRA_CALL Call(MoaMmCallInfo* info) override { return Dispatch(owner, info); }
};

struct Client final : InterfaceObject<IMoaNotificationClient> {
  using InterfaceObject::InterfaceObject;
  MoaError XTRA_CALL Notify(const MoaID*, const void* data, const void*) override {
    ++owner->idleCalls;
    owner->idleGap = *static_cast<const MoaLong*>(data);
    return kMoaErr_NoErr;
  }
};

template <class Object>
MoaError Make(FakeInstance* instance, void** out) {
  void* memory = instance->calloc->NRAlloc(sizeof(Object));
  *out = memory ? new (memory) Object(instance) : nullptr;
  return memory ? kMoaErr_NoErr : kMoaErr_OutOfMem;
}

template <class Service>
Service* Ask(IMoaCallback* callback, const MoaID& iid) {
  void* service = nullptr;
  return callback->QueryInterface(&iid, &service) == kMoaErr_NoErr ? static_cast<Service*>(service) : nullptr;
}

template <class Service>
void Let(Service*& service) {
  if (service) service->Release();
  service = nullptr;
}

MoaError XTRA_CALL CreateInstance(void* block) {
  auto* me = static_cast<FakeInstance*>(block);
  auto* callback = static_cast<IMoaCallback*>(me->base.pCallback);
  me->calloc = static_cast<IMoaCalloc*>(me->base.pCalloc);
  me->values = Ask<IMoaMmValue>(callback, IID_IMoaMmValue);
  me->lists = Ask<IMoaMmList>(callback, IID_IMoaMmList);
  me->player = Ask<IMoaDrPlayer>(callback, IID_IMoaDrPlayer);
  me->notification = Ask<IMoaNotification>(callback, IID_IMoaNotification);
  me->windows = Ask<IMoaMmWndWin>(callback, IID_IMoaMmWndWin);
  me->appInfo = Ask<IMoaAppInfo>(callback, IID_IMoaAppInfo);
  return me->values && me->lists ? kMoaErr_NoErr : kMoaErr_BadInterface;
}

void XTRA_CALL DestroyInstance(void* block) {
  auto* me = static_cast<FakeInstance*>(block);
  Let(me->values);
  Let(me->lists);
  Let(me->player);
  Let(me->notification);
  Let(me->windows);
  Let(me->appInfo);
}

}  // namespace
}  // namespace fake

using namespace fake;

FAKE_EXPORT MoaError XTRA_CALL DllGetClassInfo(IMoaCalloc* calloc, MoaClassInterfaceInfo** out) {
  const MoaID served[] = {IID_IMoaClassFactory, IID_IMoaRegister, IID_IMoaMmXScript, IID_IMoaNotificationClient};
  auto* info = static_cast<MoaClassInterfaceInfo*>(calloc->NRAlloc(sizeof(MoaClassInterfaceInfo) * 5));
  *out = info;
  if (!info) return kMoaErr_OutOfMem;
  for (int i = 0; i < 4; ++i) info[i] = {kClassId, kVersion, served[i], kVersion};
  info[4] = {};
  return kMoaErr_NoErr;
}

FAKE_EXPORT MoaError XTRA_CALL DllGetClassForm(const MoaID* classId, MoaLong* size, ClassCreateProc* create,
                                               ClassDestroyProc* destroy) {
  if (!SameMoaID(*classId, kClassId)) return kMoaErr_BadClass;
  *size = sizeof(FakeInstance);
  *create = &CreateInstance;
  *destroy = &DestroyInstance;
  return kMoaErr_NoErr;
}

FAKE_EXPORT MoaError XTRA_CALL DllGetInterface(void* instance, const MoaID*, const MoaID* iid, void** out) {
  auto* me = static_cast<FakeInstance*>(instance);
  if (SameMoaID(*iid, IID_IMoaRegister)) return Make<Registrar>(me, out);
  if (SameMoaID(*iid, IID_IMoaMmXScript)) return Make<Script>(me, out);
  if (SameMoaID(*iid, IID_IMoaNotificationClient)) return Make<Client>(me, out);
  return kMoaErr_BadInterface;
}

FAKE_EXPORT MoaError XTRA_CALL DllGetClassObject(const MoaID*, const MoaID*, void**) { return kMoaErr_BadClass; }

FAKE_EXPORT MoaError XTRA_CALL DllCanUnloadNow() { return gLiveObjects == 0 ? kMoaErr_NoErr : kMoaErr_XtraInUse; }

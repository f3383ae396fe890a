// The three interface objects that the host creates for a script instance.
// All share one layout (vtable, owner, refCount), live in memory of the
// owner's host allocator, and keep the owner alive with references of their
// own: two from creation, one per AddRef.
#pragma once

#include <new>

#include "host/xtra_instance.h"
#include "moa_contract.h"

// Live interface objects of the whole module; the host may unload it at 0.
extern int32_t gModuleObjectCount;

// The owner's allocator, retried through the runtime's out-of-memory handler
// while one is installed.
void* AllocateFromHost(IMoaCalloc* allocator, MoaUlong size);

template <class Interface, class Derived>
struct XtraInterfaceObject : Interface {
  XtraInstance* owner = nullptr;
  int32_t refCount = 0;

  MoaError MOA_CALL QueryInterface(const MoaID* iid, void** out) override {
    return owner->Self()->QueryInterface(iid, out);
  }

  MoaUlong MOA_CALL AddRef() override {
    owner->Self()->AddRef();
    return static_cast<MoaUlong>(++refCount);
  }

  MoaUlong MOA_CALL Release() override {
    XtraInstance* instance = owner;
    const int32_t remaining = --refCount;
    if (remaining == 0) {
      static_cast<Derived*>(this)->~Derived();
      instance->pCalloc->NRFree(this);
      --gModuleObjectCount;
      instance->Self()->Release();
    }
    // Last, because this may dispose of the instance itself.
    instance->Self()->Release();
    return static_cast<MoaUlong>(remaining);
  }
};

struct TStdXtra_IMoaRegister final : XtraInterfaceObject<IMoaRegister, TStdXtra_IMoaRegister> {
  MoaError MOA_CALL Register(IMoaCache* cache, IMoaDict* xtraDict) override;
};

struct TStdXtra_IMoaNotificationClient final
    : XtraInterfaceObject<IMoaNotificationClient, TStdXtra_IMoaNotificationClient> {
  MoaError MOA_CALL Notify(const MoaID* notifyId, void* notifyData, void* refCon) override;
};

// Besides Call, the script object carries the Xtra's own operations in its
// table; only the Xtra itself calls them. Each subsystem defines the ones it
// owns (monitor/ files handler calls and device events, diagnostics/ tells of
// errors and traces the flow), the one place where those folders and host/
// refer to each other both ways.
struct TStdXtra_IMoaMmXScript final : XtraInterfaceObject<IMoaMmXScript, TStdXtra_IMoaMmXScript> {
  MoaError MOA_CALL Call(MoaMmCallInfo* callInfo) override;

  // Files a Lingo handler call for the next notification; args stay the caller's.
  virtual MoaError MOA_CALL QueueCallback(const char* handlerName, int32_t argCount, const MoaMmValue* args);
  virtual MoaError MOA_CALL InformUserViaCallbackOfUserError(const char* description, const char* help,
                                                             const char* debug);
  virtual MoaError MOA_CALL SendInternalErrorToDirector(const char* text, int32_t code);
  virtual XtraResult MOA_CALL ClearLastResult();
  virtual MoaError MOA_CALL HandleDevicesChangeMessage(const char* devicePath, uint32_t eventCode,
                                                       int32_t vendorId, int32_t productId);
  virtual MoaError MOA_CALL CreateNewInstance();
  virtual MoaError MOA_CALL ExecutionFlow(const char* place, const char* message, int32_t level);
  virtual MoaError MOA_CALL InformUserOfErrorUsingDialog(const char* kind, const char* text, const char* detail,
                                                         const char* extra);
};

template <class Object>
MoaError CreateInterfaceObject(void* instance, void** out) {
  auto* owner = static_cast<XtraInstance*>(instance);
  void* memory = AllocateFromHost(owner->pCalloc, sizeof(Object));
  if (!memory) {
    *out = nullptr;
    return kMoaErr_OutOfMem;
  }
  auto* object = new (memory) Object();
  object->owner = owner;
  object->refCount = 1;
  owner->Self()->AddRef();
  owner->Self()->AddRef();
  ++gModuleObjectCount;
  *out = static_cast<IMoaUnknown*>(object);
  return kMoaErr_NoErr;
}

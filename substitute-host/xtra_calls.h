// How the host calls what the Xtra serves: only through slot numbers, as
// Director does, and the five exports resolved by name.
#pragma once

#include "xdk_layouts.h"

namespace director {
namespace xtra {

// The function at `slot` of the object's table, called with the object first.
template <class Ret, class... Args>
Ret CallSlot(const void* object, int slot, Args... args) {
  using Function = Ret(XDK_CALL*)(const void*, Args...);
  const Function* table = *static_cast<const Function* const*>(object);
  return table[slot](object, args...);
}

inline MoaError QueryInterface(const void* object, const MoaID* iid, void** out) {
  return CallSlot<MoaError, const MoaID*, void**>(object, 0, iid, out);
}
inline MoaUlong AddRef(const void* object) { return CallSlot<MoaUlong>(object, 1); }
inline MoaUlong Release(const void* object) { return CallSlot<MoaUlong>(object, 2); }
// IMoaRegister slot 3.
inline MoaError Register(IMoaRegister* registrar, IMoaCache* cache, IMoaDict* xtraDict) {
  return CallSlot<MoaError, IMoaCache*, IMoaDict*>(registrar, 3, cache, xtraDict);
}
// IMoaMmXScript slot 3.
inline MoaError Call(IMoaMmXScript* script, MoaMmCallInfo* info) {
  return CallSlot<MoaError, MoaMmCallInfo*>(script, 3, info);
}
// IMoaNotificationClient slot 3.
inline MoaError Notify(IMoaNotificationClient* client, const MoaID* nid, const void* data, const void* refCon) {
  return CallSlot<MoaError, const MoaID*, const void*, const void*>(client, 3, nid, data, refCon);
}

}  // namespace xtra

// What DllGetClassForm hands out: called with the instance alone.
using ClassCreateProc = MoaError(XDK_CALL*)(void* instance);
using ClassDestroyProc = void(XDK_CALL*)(void* instance);

// The exports.
using DllGetClassInfoProc = MoaError(XDK_CALL*)(IMoaCalloc* calloc, MoaClassInterfaceInfo** out);
using DllGetClassFormProc = MoaError(XDK_CALL*)(const MoaID* classId, MoaLong* size, ClassCreateProc* create,
                                                ClassDestroyProc* destroy);
using DllGetInterfaceProc = MoaError(XDK_CALL*)(void* instance, const MoaID* classId, const MoaID* iid, void** out);
using DllGetClassObjectProc = MoaError(XDK_CALL*)(const MoaID* classId, const MoaID* iid, void** out);
using DllCanUnloadNowProc = MoaError(XDK_CALL*)();

}  // namespace director

// Director's interfaces as an Xtra declares them in C++: one abstract class
// each, its virtual functions in Director's slot order. Written apart from
// the host's slot tables, so that the two meet only where Director's layout
// puts them: the fake Xtra, the host's tests and the benchmarks call the
// host through these. The records and IDs are the host's, checked on their
// own.
#pragma once

#include "director_abi.h"
#include "director_ids.h"

#if defined(_WIN32)
#define XTRA_CALL __stdcall
#else
#define XTRA_CALL
#endif

namespace xtra_view {

using namespace director;

// What DllGetClassForm hands Director.
using ClassCreateProc = MoaError(XTRA_CALL*)(void* instance);
using ClassDestroyProc = void(XTRA_CALL*)(void* instance);

struct IMoaUnknown {
  virtual MoaError XTRA_CALL QueryInterface(const MoaID* iid, void** out) = 0;
  virtual MoaUlong XTRA_CALL AddRef() = 0;
  virtual MoaUlong XTRA_CALL Release() = 0;
};

struct IMoaCallback : IMoaUnknown {
  virtual MoaError XTRA_CALL MoaCreateInstance(const MoaID* classId, const MoaID* iid, void** out) = 0;
  virtual void* XTRA_CALL MoaGetCache() = 0;  // the cache itself
  virtual MoaError XTRA_CALL MoaBeginUsingResources(void* fileRef, void** cookie) = 0;
  virtual MoaError XTRA_CALL MoaEndUsingResources(void* fileRef, void* cookie) = 0;
};

struct IMoaCalloc : IMoaUnknown {
  virtual void* XTRA_CALL NRAlloc(MoaUlong size) = 0;
  virtual void XTRA_CALL NRFree(void* block) = 0;
};

struct IMoaDict : IMoaUnknown {
  virtual MoaError XTRA_CALL SetSize(MoaUlong size) = 0;
  virtual MoaError XTRA_CALL MakeDict(IMoaDict** out, const char* key) = 0;
  virtual MoaError XTRA_CALL Get(MoaUlong type, void* buffer, MoaLong size, const char* key) = 0;
  virtual MoaError XTRA_CALL Put(MoaUlong type, const void* data, MoaLong size, const char* key) = 0;
  virtual MoaError XTRA_CALL Remove(const char* key) = 0;
  virtual MoaError XTRA_CALL Count(MoaUlong* count) = 0;
  virtual MoaError XTRA_CALL GetNth(MoaUlong index, MoaUlong* type, MoaLong* size, const char** key) = 0;
  virtual MoaError XTRA_CALL GetInfo(MoaUlong* type, MoaLong* size, const char* key) = 0;
  virtual const char* XTRA_CALL FindKey(const char* key) = 0;
};

struct IMoaCache : IMoaUnknown {
  virtual MoaError XTRA_CALL EnumerateFileEntries(void* proc, void* refCon) = 0;
  virtual MoaError XTRA_CALL EnumerateXtraEntries(void* proc, void* refCon) = 0;
  virtual MoaError XTRA_CALL EnumerateRegistryEntries(void* proc, void* refCon) = 0;
  virtual MoaError XTRA_CALL SetXtraEntryNoncacheable(IMoaDict* xtraDict) = 0;
  virtual MoaError XTRA_CALL AddRegistryEntry(IMoaDict* xtraDict, const MoaID* classId, const MoaID* iid,
                                              IMoaDict** registryEntryDict) = 0;
  virtual MoaError XTRA_CALL GetInstanceFromRegistry(IMoaDict* dict, const MoaID* iid, void** out) = 0;
  virtual MoaError XTRA_CALL CreateNewInstanceFromRegistry(IMoaDict* dict, const MoaID* iid, void** out) = 0;
  virtual MoaError XTRA_CALL EnumerateRegistryEntriesFromFile(void* fileSpec, MoaLong levels, void* proc,
                                                              void* refCon) = 0;
  virtual MoaError XTRA_CALL GetFileSpecFromFileDict(IMoaDict* dict, void* fileSpec, MoaLong size) = 0;
};

struct IMoaMmValue : IMoaUnknown {
  virtual MoaError XTRA_CALL StringToSymbol(const char* text, MoaMmSymbol* symbol) = 0;
  virtual MoaError XTRA_CALL SymbolToString(MoaMmSymbol symbol, char* buffer, MoaLong size) = 0;
  virtual MoaError XTRA_CALL ValueType(const MoaMmValue* value, MoaLong* type) = 0;
  virtual MoaError XTRA_CALL ValueAddRef(MoaMmValue* value) = 0;
  virtual MoaError XTRA_CALL ValueRelease(MoaMmValue* value) = 0;
  virtual MoaError XTRA_CALL ValueToInteger(const MoaMmValue* value, MoaLong* out) = 0;
  virtual MoaError XTRA_CALL ValueToSymbol(const MoaMmValue* value, MoaMmSymbol* out) = 0;
  virtual MoaError XTRA_CALL ValueToFloat(const MoaMmValue* value, double* out) = 0;
  virtual MoaError XTRA_CALL ValueStringLength(const MoaMmValue* value, MoaLong* length) = 0;
  virtual MoaError XTRA_CALL ValueToString(const MoaMmValue* value, char* buffer, MoaLong size) = 0;
  virtual MoaError XTRA_CALL ValueToStringPtr(const MoaMmValue* value, const char** text) = 0;
  virtual MoaError XTRA_CALL ValueReleaseStringPtr(const MoaMmValue* value) = 0;
  virtual MoaError XTRA_CALL ValueToPoint(const MoaMmValue* value, void* point) = 0;
  virtual MoaError XTRA_CALL ValueToRect(const MoaMmValue* value, void* rect) = 0;
  virtual MoaError XTRA_CALL IntegerToValue(MoaLong number, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL SymbolToValue(MoaMmSymbol symbol, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL FloatToValue(double number, MoaMmValue* out) = 0;
#if defined(FAKE_XTRA_MISORDERED)
  // The mistake this build exists for: two slots declared the wrong way round.
  virtual MoaError XTRA_CALL StringHandleToValue(void* handle, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL StringToValue(const char* text, MoaMmValue* out) = 0;
#else
  virtual MoaError XTRA_CALL StringToValue(const char* text, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL StringHandleToValue(void* handle, MoaMmValue* out) = 0;
#endif
  virtual MoaError XTRA_CALL PointToValue(const void* point, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL RectToValue(const void* rect, MoaMmValue* out) = 0;
};

struct IMoaMmList : IMoaUnknown {
  virtual MoaError XTRA_CALL NewListValue(MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL AppendValueToList(MoaMmValue* list, MoaMmValue* item) = 0;
  virtual MoaLong XTRA_CALL CountElements(const MoaMmValue* list) = 0;
  virtual MoaError XTRA_CALL GetValueByIndex(const MoaMmValue* list, MoaLong index, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL SetValueByIndex(MoaMmValue* list, MoaLong index, MoaMmValue* item) = 0;
  virtual MoaError XTRA_CALL NewPropListValue(MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL AppendValueToPropList(MoaMmValue* list, MoaMmValue* property, MoaMmValue* item) = 0;
  virtual MoaError XTRA_CALL GetValueByProperty(const MoaMmValue* list, MoaMmValue* property, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL SetValueByProperty(MoaMmValue* list, MoaMmValue* property, MoaMmValue* item) = 0;
  virtual MoaError XTRA_CALL GetPropertyNameByIndex(const MoaMmValue* list, MoaLong index, MoaMmValue* out) = 0;
};

struct IMoaDrMovieContext : IMoaUnknown {
  virtual MoaError XTRA_CALL PushXtraContext(DrContextState* state) = 0;
  virtual MoaError XTRA_CALL PopXtraContext(DrContextState* state) = 0;
  virtual MoaError XTRA_CALL ReleaseExclusiveThread(DrContextState* state) = 0;
  virtual MoaError XTRA_CALL ReacquireExclusiveThread(DrContextState* state) = 0;
};

struct IMoaDrMovie : IMoaUnknown {
  // Slots 3 to 7, whose parameters Director does not publish: never called.
  virtual void XTRA_CALL Unpublished3() = 0;
  virtual void XTRA_CALL Unpublished4() = 0;
  virtual void XTRA_CALL Unpublished5() = 0;
  virtual void XTRA_CALL Unpublished6() = 0;
  virtual void XTRA_CALL Unpublished7() = 0;
  virtual MoaError XTRA_CALL CallHandler(MoaMmSymbol name, MoaLong count, MoaMmValue* args, MoaMmValue* result) = 0;
};

struct IMoaDrPlayer : IMoaUnknown {
  virtual MoaError XTRA_CALL GetProp(MoaMmSymbol property, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL SetProp(MoaMmSymbol property, const MoaMmValue* value) = 0;
  virtual MoaError XTRA_CALL CallHandler(MoaMmSymbol name, MoaLong count, MoaMmValue* args, MoaMmValue* result) = 0;
  virtual MoaError XTRA_CALL GetActiveMovie(IMoaDrMovie** movie) = 0;
  virtual MoaError XTRA_CALL GetMovieCount(MoaLong* count) = 0;
  virtual MoaError XTRA_CALL GetNthMovie(MoaLong index, IMoaDrMovie** movie) = 0;
  virtual MoaError XTRA_CALL ResolveFileName(const char* name, char* path, MoaLong size) = 0;
  virtual MoaError XTRA_CALL GetCastMemTypeCount(MoaLong* count) = 0;
  virtual MoaError XTRA_CALL GetNthCastMemTypeSymbol(MoaLong index, MoaMmSymbol* symbol) = 0;
  virtual MoaError XTRA_CALL GetCastMemTypeDisplayName(MoaMmSymbol symbol, char* name, MoaLong size) = 0;
  virtual MoaError XTRA_CALL GetGlobalVarValue(MoaMmSymbol name, MoaMmValue* out) = 0;
  virtual MoaError XTRA_CALL SetGlobalVarValue(MoaMmSymbol name, MoaMmValue* value) = 0;
};

struct IMoaNotificationClient : IMoaUnknown {
  virtual MoaError XTRA_CALL Notify(const MoaID* nid, const void* data, const void* refCon) = 0;
};

struct IMoaNotification : IMoaUnknown {
  virtual MoaError XTRA_CALL RegisterNotificationClient(IMoaNotificationClient* client, const MoaID* nid,
                                                        const void* data, const void* refCon) = 0;
  virtual MoaError XTRA_CALL UnregisterNotificationClient(IMoaNotificationClient* client, const MoaID* nid,
                                                          const void* data) = 0;
  virtual MoaError XTRA_CALL SendNotification(const MoaID* nid, const void* data) = 0;
};

struct IMoaMmWndWin : IMoaUnknown {
  virtual MoaLong XTRA_CALL WinDialogBox(void* cookie, const char* dialogTemplate, void* dialogProc) = 0;
  virtual MoaError XTRA_CALL WinGetParent(void** instance, void** window) = 0;
  virtual MoaLong XTRA_CALL WinDialogBoxParam(void* cookie, const char* dialogTemplate, void* dialogProc,
                                              MoaLong param) = 0;
  virtual MoaError XTRA_CALL WinPrepareDialogBox(void** cookie) = 0;
  virtual MoaError XTRA_CALL WinUnprepareDialogBox(void* cookie) = 0;
};

struct IMoaAppInfo : IMoaUnknown {
  virtual MoaError XTRA_CALL GetInfo(MoaLong what, char* buffer, MoaLong size) = 0;
};

struct IMoaRegister : IMoaUnknown {
  virtual MoaError XTRA_CALL Register(IMoaCache* cache, IMoaDict* xtraDict) = 0;
};

struct IMoaMmXScript : IMoaUnknown {
  virtual MoaError XTRA_CALL Call(MoaMmCallInfo* info) = 0;
};

}  // namespace xtra_view

// What Director (through its component model, MOA) and the Xtra expect of each
// other. Both sides of the contract are declared here: the exports and
// interfaces that the host calls, and the host services that the Xtra calls.
// The substitute host includes this same header, so the two can never drift.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#define MOA_CALL __stdcall
#else
#define MOA_CALL
#endif

using MoaError = int32_t;
using MoaLong = int32_t;
using MoaUlong = uint32_t;
using MoaMmSymbol = int32_t;

// Laid out like a Windows GUID.
struct MoaID {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};
static_assert(sizeof(MoaID) == 16);

inline bool SameMoaID(const MoaID& a, const MoaID& b) { return std::memcmp(&a, &b, sizeof(MoaID)) == 0; }

// Host-facing statuses.
constexpr MoaError kMoaErr_NoErr = 0;
constexpr MoaError kMoaErr_OutOfMem = static_cast<MoaError>(0x80040002u);
constexpr MoaError kMoaErr_CantUnloadNow = static_cast<MoaError>(0x80040003u);
constexpr MoaError kMoaErr_BadInterface = static_cast<MoaError>(0x80040004u);
constexpr MoaError kMoaErr_BadClass = static_cast<MoaError>(0x80040005u);

// A Lingo value: 8 bytes whose meaning only the host knows.
struct MoaMmValue {
  int32_t opaque[2];
};
static_assert(sizeof(MoaMmValue) == 8);

// Type codes reported by the value services.
enum MoaMmValueType : MoaLong {
  kMoaMmValueType_Void = 0,
  kMoaMmValueType_Integer = 1,
  kMoaMmValueType_Symbol = 2,
  kMoaMmValueType_String = 3,
  kMoaMmValueType_HostType5 = 5,
  kMoaMmValueType_Float = 6,
  kMoaMmValueType_List = 7,
  kMoaMmValueType_PropList = 10,
};

// Type codes of registry dictionary entries.
constexpr MoaLong kMoaDictType_MessageTable = 9;
constexpr MoaLong kMoaDictType_Bool = 6;

// Interface IDs of the Xtra's three interfaces and of IMoaUnknown.
constexpr MoaID IID_IMoaUnknown = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr MoaID IID_IMoaRegister = {0xAC3E7803, 0x0002, 0x8FE5, {0x00, 0x00, 0x08, 0x00, 0x07, 0x16, 0x0D, 0xC3}};
constexpr MoaID IID_IMoaMmXScript = {0xAC401FB6, 0x0001, 0xF9B0, {0x00, 0x00, 0x08, 0x00, 0x07, 0x2C, 0x63, 0x26}};
constexpr MoaID IID_IMoaNotificationClient = {0xE58EE2CC, 0x3D86, 0x11D0, {0x90, 0xAC, 0x00, 0x05, 0x9A, 0x80, 0xE8, 0x2F}};

// Host services, requested from the host's callback object by these IDs.
constexpr MoaID IID_IMoaIdle = {0x3F698780, 0x32BE, 0x11D0, {0x81, 0x51, 0x00, 0xAA, 0x00, 0x5F, 0x3C, 0x08}};
constexpr MoaID IID_IMoaMmUtils = {0xD9088161, 0x32BF, 0x11D0, {0x81, 0x51, 0x00, 0xAA, 0x00, 0x5F, 0x3C, 0x08}};
constexpr MoaID IID_IMoaMmValue = {0x151A5780, 0x32BD, 0x11D0, {0x81, 0x51, 0x00, 0xAA, 0x00, 0x5F, 0x3C, 0x08}};
constexpr MoaID IID_IMoaMmList = {0xAC96CF98, 0x0045, 0x5C0B, {0x00, 0x00, 0x00, 0x40, 0x10, 0x50, 0x23, 0xFB}};
constexpr MoaID IID_IMoaMmPlayer = {0xAC401B78, 0x0000, 0xFA7D, {0x00, 0x00, 0x08, 0x00, 0x07, 0x2C, 0x63, 0x26}};
constexpr MoaID IID_IMoaNotification = {0xCA015FDA, 0x3D86, 0x11D0, {0x81, 0x25, 0x00, 0x05, 0x9A, 0x80, 0xE8, 0x2F}};
// Asked of the movie object that the player services hand out.
constexpr MoaID IID_IMoaDrMovie2 = {0x99CD6DF0, 0x49E8, 0x11D2, {0xA6, 0x6D, 0x00, 0xA0, 0xC9, 0xE7, 0x37, 0x36}};

// The notification for which every script instance registers its client.
constexpr MoaID NID_XtraIdleNotification = {0x3B881B5E, 0x3E12, 0x11D0, {0x99, 0xA6, 0x00, 0x05, 0x9A, 0x80, 0xE8, 0x2F}};

struct IMoaUnknown {
  virtual MoaError MOA_CALL QueryInterface(const MoaID* iid, void** out) = 0;
  virtual MoaUlong MOA_CALL AddRef() = 0;
  virtual MoaUlong MOA_CALL Release() = 0;
};

// The host's service object: QueryInterface hands out the host services.
struct IMoaCallback : IMoaUnknown {};

struct IMoaCalloc : IMoaUnknown {
  virtual void* MOA_CALL NRAlloc(MoaUlong size) = 0;  // null when out of memory
  virtual void MOA_CALL NRFree(void* block) = 0;
};

struct IMoaDict : IMoaUnknown {
  virtual MoaError MOA_CALL Put(MoaLong type, const void* data, MoaLong size, const char* key) = 0;
};

struct IMoaCache : IMoaUnknown {
  // The dictionary handed back stays owned by the cache.
  virtual MoaError MOA_CALL AddRegistryEntry(IMoaDict* xtraDict, const MoaID* classId, const MoaID* interfaceId,
                                             IMoaDict** registryEntryDict) = 0;
};

// Value services. A value handed out (by a conversion, a constructor or a
// list lookup) carries one reference that its receiver releases.
struct IMoaMmValue : IMoaUnknown {
  virtual MoaError MOA_CALL ValueType(const MoaMmValue* value, MoaLong* type) = 0;
  virtual MoaError MOA_CALL ValueToInteger(const MoaMmValue* value, MoaLong* out) = 0;
  virtual MoaError MOA_CALL ValueToString(const MoaMmValue* value, char* buffer, MoaLong bufferSize) = 0;
  virtual MoaError MOA_CALL IntegerToValue(MoaLong number, MoaMmValue* out) = 0;
  virtual MoaError MOA_CALL StringToValue(const char* text, MoaMmValue* out) = 0;
  virtual MoaError MOA_CALL StringToSymbol(const char* text, MoaMmSymbol* out) = 0;
  virtual MoaError MOA_CALL SymbolToValue(MoaMmSymbol symbol, MoaMmValue* out) = 0;
  virtual MoaError MOA_CALL ValueAddRef(const MoaMmValue* value) = 0;
  virtual MoaError MOA_CALL ValueRelease(MoaMmValue* value) = 0;
};

// List services. Appending adds the list's own reference to the item.
struct IMoaMmList : IMoaUnknown {
  virtual MoaError MOA_CALL NewListValue(MoaMmValue* out) = 0;
  virtual MoaError MOA_CALL AppendValueToList(MoaMmValue* list, const MoaMmValue* item) = 0;
  virtual MoaLong MOA_CALL CountElements(const MoaMmValue* list) = 0;
  virtual MoaError MOA_CALL GetValueByIndex(const MoaMmValue* list, MoaLong position, MoaMmValue* out) = 0;
  virtual MoaError MOA_CALL NewPropListValue(MoaMmValue* out) = 0;
  virtual MoaError MOA_CALL AppendValueToPropList(MoaMmValue* propList, const MoaMmValue* key,
                                                  const MoaMmValue* item) = 0;
};

struct IMoaMmPlayer : IMoaUnknown {
  virtual MoaError MOA_CALL CallHandler(MoaMmSymbol handler, MoaLong argCount, MoaMmValue* args,
                                        MoaMmValue* result) = 0;
  // The active movie, with a reference for the caller.
  virtual MoaError MOA_CALL GetActiveMovie(IMoaUnknown** movie) = 0;
};

struct IMoaNotificationClient;

struct IMoaNotification : IMoaUnknown {
  virtual MoaError MOA_CALL RegisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                                       void* notifyData, void* refCon) = 0;
  virtual MoaError MOA_CALL UnregisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                                         void* notifyData) = 0;
};

struct IMoaMmUtils : IMoaUnknown {
  virtual MoaError MOA_CALL GetMainWindow(void** windowHandle) = 0;
};

// One Lingo call: argument 0 is the instance for every "object me" handler.
struct MoaMmCallInfo {
  MoaLong methodSelector;
  MoaMmValue resultValue;
  MoaLong nargs;
  MoaMmValue* pArgs;
};

// The Xtra's interfaces, called by the host.
struct IMoaRegister : IMoaUnknown {
  virtual MoaError MOA_CALL Register(IMoaCache* cache, IMoaDict* xtraDict) = 0;
};

struct IMoaNotificationClient : IMoaUnknown {
  virtual MoaError MOA_CALL Notify(const MoaID* notifyId, void* notifyData, void* refCon) = 0;
};

struct IMoaMmXScript : IMoaUnknown {
  virtual MoaError MOA_CALL Call(MoaMmCallInfo* callInfo) = 0;
};

// Every instance's data begins with this header, which the host fills.
struct MoaInstanceHeader {
  IMoaUnknown* pSelf;
  IMoaCallback* pCallback;
  IMoaCalloc* pCalloc;
};

using MoaClassCreateProc = MoaError(MOA_CALL*)(void* instance);
using MoaClassDestroyProc = void(MOA_CALL*)(void* instance);

// One row of what DllGetClassInfo hands the host; the host frees the array
// with the allocator it passed in.
struct MoaClassInterfaceInfo {
  MoaID classId;
  MoaLong classVersion;
  MoaID interfaceId;
  MoaLong interfaceVersion;
};
static_assert(sizeof(MoaClassInterfaceInfo) == 40);

// The module's exports, as the host resolves them by name.
using DllGetClassInfoProc = MoaError(MOA_CALL*)(IMoaCalloc* allocator, MoaClassInterfaceInfo** info);
using DllGetClassFormProc = MoaError(MOA_CALL*)(const MoaID* classId, MoaLong* instanceSize,
                                                MoaClassCreateProc* create, MoaClassDestroyProc* destroy);
using DllGetInterfaceProc = MoaError(MOA_CALL*)(void* instance, const MoaID* classId, const MoaID* interfaceId,
                                                void** out);
using DllCanUnloadNowProc = MoaError(MOA_CALL*)();
using DllGetClassObjectProc = MoaError(MOA_CALL*)(const MoaID* classId, const MoaID* interfaceId, void** out);

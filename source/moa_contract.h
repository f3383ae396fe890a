// The Xtra's one door to Director, as platform.h is its door to Windows: what
// Director's component model (MOA) and the Xtra expect of each other on
// 32-bit Windows: the exports and interfaces that Director calls, and the
// services that the Xtra calls, with every slot in Director's order up to
// the last one the Xtra uses. A slot out of place is not a wrong answer but
// a crash: the callee pops its own arguments.
#pragma once

#include <cstddef>
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
using MoaMmSymbol = MoaLong;

// Laid out like a Windows GUID.
struct MoaID {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};
static_assert(sizeof(MoaID) == 16);

inline bool SameMoaID(const MoaID& a, const MoaID& b) { return std::memcmp(&a, &b, sizeof(MoaID)) == 0; }

constexpr MoaError kMoaErr_NoErr = 0;
constexpr MoaError kMoaErr_OutOfMem = static_cast<MoaError>(0x80040002u);
constexpr MoaError kMoaErr_XtraInUse = static_cast<MoaError>(0x80040003u);
constexpr MoaError kMoaErr_BadInterface = static_cast<MoaError>(0x80040004u);
constexpr MoaError kMoaErr_BadClass = static_cast<MoaError>(0x80040005u);
// Director's MAKE_MOAERR(kMoaMmErr_Base + 8): Call's answer to a selector
// that no handler of the method table has.
constexpr MoaError kMoaMmErr_ArgOutOfRange = static_cast<MoaError>(0x800407D8u);

// A Lingo value, opaque to the Xtra. The all-zero value is a null
// initializer, not void: a value that must read as void is kVoidMoaMmValue.
struct MoaMmValue {
  MoaLong ty;
  MoaLong it;
};
static_assert(sizeof(MoaMmValue) == 8);
constexpr MoaMmValue kVoidMoaMmValue = {2, 0};

// What IMoaMmValue::ValueType answers.
enum MoaMmValueType : MoaLong {
  kMoaMmValueType_Void = 0,
  kMoaMmValueType_Integer = 1,
  kMoaMmValueType_Symbol = 2,
  kMoaMmValueType_String = 3,
  kMoaMmValueType_Object = 4,
  kMoaMmValueType_Picture = 5,
  kMoaMmValueType_Float = 6,
  kMoaMmValueType_List = 7,
  kMoaMmValueType_Point = 8,
  kMoaMmValueType_Rect = 9,
  kMoaMmValueType_PropList = 10,
  kMoaMmValueType_Member = 11,
};

// Type codes of registry dictionary entries.
constexpr MoaUlong kMoaDictType_Bool = 6;
constexpr MoaUlong kMoaDictType_CString = 9;

// What IMoaAppInfo::GetInfo is asked for.
constexpr MoaLong kMoaAppInfo_ProductVersion = 6;

constexpr MoaID IID_IMoaUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr MoaID IID_IMoaClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The Xtra's three interfaces.
constexpr MoaID IID_IMoaRegister = {0xAC3E7803, 0x0002, 0x8FE5, {0x00, 0x00, 0x08, 0x00, 0x07, 0x16, 0x0D, 0xC3}};
constexpr MoaID IID_IMoaMmXScript = {0xAC401FB6, 0x0001, 0xF9B0, {0x00, 0x00, 0x08, 0x00, 0x07, 0x2C, 0x63, 0x26}};
constexpr MoaID IID_IMoaNotificationClient = {0xE58EE2CC, 0x3D86, 0x11D0, {0x90, 0xAC, 0x00, 0x05, 0x9A, 0x80, 0xE8, 0x2F}};

// Director's services, asked of its callback object.
constexpr MoaID IID_IMoaMmValue = {0x151A5780, 0x32BD, 0x11D0, {0x81, 0x51, 0x00, 0xAA, 0x00, 0x5F, 0x3C, 0x08}};
constexpr MoaID IID_IMoaMmList = {0xAC96CF98, 0x0045, 0x5C0B, {0x00, 0x00, 0x00, 0x40, 0x10, 0x50, 0x23, 0xFB}};
constexpr MoaID IID_IMoaDrPlayer = {0xAC401B78, 0x0000, 0xFA7D, {0x00, 0x00, 0x08, 0x00, 0x07, 0x2C, 0x63, 0x26}};
constexpr MoaID IID_IMoaNotification = {0xCA015FDA, 0x3D86, 0x11D0, {0x81, 0x25, 0x00, 0x05, 0x9A, 0x80, 0xE8, 0x2F}};
constexpr MoaID IID_IMoaMmWndWin = {0xD9088161, 0x32BF, 0x11D0, {0x81, 0x51, 0x00, 0xAA, 0x00, 0x5F, 0x3C, 0x08}};
constexpr MoaID IID_IMoaAppInfo = {0xACC7E2B8, 0x000A, 0xB4D0, {0x00, 0x00, 0x08, 0x00, 0x07, 0x16, 0x0D, 0xC3}};
// Asked of the active movie.
constexpr MoaID IID_IMoaDrMovieContext = {0x99CD6DF0, 0x49E8, 0x11D2, {0xA6, 0x6D, 0x00, 0xA0, 0xC9, 0xE7, 0x37, 0x36}};

// Director's idle notification, for which every script instance registers.
constexpr MoaID NID_DrNIdle = {0x3B881B5E, 0x3E12, 0x11D0, {0x99, 0xA6, 0x00, 0x05, 0x9A, 0x80, 0xE8, 0x2F}};

struct IMoaUnknown {
  virtual MoaError MOA_CALL QueryInterface(const MoaID* iid, void** out) = 0;  // 0
  virtual MoaUlong MOA_CALL AddRef() = 0;                                     // 1
  virtual MoaUlong MOA_CALL Release() = 0;                                    // 2
};

// Director's service object: QueryInterface hands out its services.
struct IMoaCallback : IMoaUnknown {};

struct IMoaCalloc : IMoaUnknown {
  virtual void* MOA_CALL NRAlloc(MoaUlong size) = 0;  // 3: null when out of memory
  virtual void MOA_CALL NRFree(void* block) = 0;      // 4
};

struct IMoaDict : IMoaUnknown {
  virtual MoaError MOA_CALL SetSize(MoaUlong size) = 0;                                       // 3
  virtual MoaError MOA_CALL MakeDict(IMoaDict** out, const char* key) = 0;                    // 4
  virtual MoaError MOA_CALL Get(MoaUlong type, void* buffer, MoaLong size, const char* key) = 0;  // 5
  virtual MoaError MOA_CALL Put(MoaUlong type, const void* data, MoaLong size, const char* key) = 0;  // 6
};

struct IMoaCache : IMoaUnknown {
  virtual MoaError MOA_CALL EnumerateFileEntries(void* proc, void* refCon) = 0;      // 3
  virtual MoaError MOA_CALL EnumerateXtraEntries(void* proc, void* refCon) = 0;      // 4
  virtual MoaError MOA_CALL EnumerateRegistryEntries(void* proc, void* refCon) = 0;  // 5
  virtual MoaError MOA_CALL SetXtraEntryNoncacheable(IMoaDict* xtraDict) = 0;        // 6
  // 7. The dictionary handed back belongs to the cache: never released.
  virtual MoaError MOA_CALL AddRegistryEntry(IMoaDict* xtraDict, const MoaID* classId, const MoaID* iid,
                                             IMoaDict** registryEntryDict) = 0;
};

// A value handed out (by a conversion, a constructor or a list lookup)
// carries one reference that its receiver releases.
struct IMoaMmValue : IMoaUnknown {
  virtual MoaError MOA_CALL StringToSymbol(const char* text, MoaMmSymbol* out) = 0;                   // 3
  virtual MoaError MOA_CALL SymbolToString(MoaMmSymbol symbol, char* buffer, MoaLong size) = 0;       // 4
  virtual MoaError MOA_CALL ValueType(const MoaMmValue* value, MoaLong* type) = 0;                    // 5
  virtual MoaError MOA_CALL ValueAddRef(const MoaMmValue* value) = 0;                                 // 6
  virtual MoaError MOA_CALL ValueRelease(MoaMmValue* value) = 0;                                      // 7
  virtual MoaError MOA_CALL ValueToInteger(const MoaMmValue* value, MoaLong* out) = 0;                // 8
  virtual MoaError MOA_CALL ValueToSymbol(const MoaMmValue* value, MoaMmSymbol* out) = 0;             // 9
  virtual MoaError MOA_CALL ValueToFloat(const MoaMmValue* value, double* out) = 0;                   // 10
  virtual MoaError MOA_CALL ValueStringLength(const MoaMmValue* value, MoaLong* length) = 0;          // 11
  // 12. The buffer holds the text and its terminator.
  virtual MoaError MOA_CALL ValueToString(const MoaMmValue* value, char* buffer, MoaLong size) = 0;
  virtual MoaError MOA_CALL ValueToStringPtr(const MoaMmValue* value, const char** text) = 0;         // 13
  virtual MoaError MOA_CALL ValueReleaseStringPtr(const MoaMmValue* value) = 0;                       // 14
  virtual MoaError MOA_CALL ValueToPoint(const MoaMmValue* value, void* point) = 0;                   // 15
  virtual MoaError MOA_CALL ValueToRect(const MoaMmValue* value, void* rect) = 0;                     // 16
  virtual MoaError MOA_CALL IntegerToValue(MoaLong number, MoaMmValue* out) = 0;                      // 17
  virtual MoaError MOA_CALL SymbolToValue(MoaMmSymbol symbol, MoaMmValue* out) = 0;                   // 18
  virtual MoaError MOA_CALL FloatToValue(double number, MoaMmValue* out) = 0;                         // 19
  virtual MoaError MOA_CALL StringToValue(const char* text, MoaMmValue* out) = 0;                     // 20
};

// Appending copies: the list adds a reference, the caller keeps its own.
// (Inputs are const here where Director's declarations are looser; constness
// does not change how a call is made.)
struct IMoaMmList : IMoaUnknown {
  virtual MoaError MOA_CALL NewListValue(MoaMmValue* out) = 0;                                 // 3
  virtual MoaError MOA_CALL AppendValueToList(MoaMmValue* list, const MoaMmValue* item) = 0;   // 4
  virtual MoaLong MOA_CALL CountElements(const MoaMmValue* list) = 0;                          // 5: -1 if no list
  // 6. Positions count from 1; the caller releases `out`.
  virtual MoaError MOA_CALL GetValueByIndex(const MoaMmValue* list, MoaLong position, MoaMmValue* out) = 0;
  virtual MoaError MOA_CALL SetValueByIndex(MoaMmValue* list, MoaLong position, MoaMmValue* item) = 0;  // 7
  virtual MoaError MOA_CALL NewPropListValue(MoaMmValue* out) = 0;                             // 8
  virtual MoaError MOA_CALL AppendValueToPropList(MoaMmValue* propList, const MoaMmValue* property,
                                                  const MoaMmValue* item) = 0;  // 9
  virtual MoaError MOA_CALL GetValueByProperty(const MoaMmValue* propList, const MoaMmValue* property,
                                               MoaMmValue* out) = 0;  // 10
  virtual MoaError MOA_CALL SetValueByProperty(MoaMmValue* propList, const MoaMmValue* property,
                                               const MoaMmValue* item) = 0;  // 11
  // 12. The caller releases `out`.
  virtual MoaError MOA_CALL GetPropertyNameByIndex(const MoaMmValue* propList, MoaLong position,
                                                   MoaMmValue* out) = 0;
};

// The movie object that GetActiveMovie hands out is asked only for this.
struct IMoaDrMovieContext : IMoaUnknown {
  // 16 bytes of Director's own, a local of the caller.
  struct DrContextState {
    uint8_t opaque[16];
  };
  virtual MoaError MOA_CALL PushXtraContext(DrContextState* state) = 0;  // 3
  virtual MoaError MOA_CALL PopXtraContext(DrContextState* state) = 0;   // 4
};

struct IMoaDrPlayer : IMoaUnknown {
  virtual MoaError MOA_CALL GetProp(MoaMmSymbol property, MoaMmValue* out) = 0;        // 3
  virtual MoaError MOA_CALL SetProp(MoaMmSymbol property, const MoaMmValue* value) = 0;  // 4
  // 5. Reaches the handler in the active movie; a non-null result is the
  // caller's to release.
  virtual MoaError MOA_CALL CallHandler(MoaMmSymbol name, MoaLong argCount, MoaMmValue* args, MoaMmValue* result) = 0;
  // 6. The movie comes with a reference for the caller.
  virtual MoaError MOA_CALL GetActiveMovie(IMoaUnknown** movie) = 0;
};

struct IMoaNotificationClient;

struct IMoaNotification : IMoaUnknown {
  virtual MoaError MOA_CALL RegisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                                       const void* notifyData, const void* refCon) = 0;  // 3
  virtual MoaError MOA_CALL UnregisterNotificationClient(IMoaNotificationClient* client, const MoaID* notifyId,
                                                         const void* notifyData) = 0;  // 4
};

// Director's window services on Windows. A dialog of the Xtra's own is
// shown between WinPrepareDialogBox and WinUnprepareDialogBox, on the window
// that WinGetParent names.
struct IMoaMmWndWin : IMoaUnknown {
  virtual MoaLong MOA_CALL WinDialogBox(void* resourceCookie, const char* dialogTemplate, void* dialogProc) = 0;  // 3
  virtual MoaError MOA_CALL WinGetParent(void** instanceHandle, void** windowHandle) = 0;  // 4
  virtual MoaLong MOA_CALL WinDialogBoxParam(void* resourceCookie, const char* dialogTemplate, void* dialogProc,
                                             MoaLong parameter) = 0;  // 5
  virtual MoaError MOA_CALL WinPrepareDialogBox(void** cookie) = 0;   // 6
  virtual MoaError MOA_CALL WinUnprepareDialogBox(void* cookie) = 0;  // 7
};

struct IMoaAppInfo : IMoaUnknown {
  // 3. A short buffer is an error.
  virtual MoaError MOA_CALL GetInfo(MoaLong what, char* buffer, MoaLong size) = 0;
};

// One Lingo call. Argument 0 is the instance for child handlers (the Xtra
// reference for parent handlers); the arguments stay the caller's.
struct MoaMmCallInfo {
  void* xinst;            // reserved
  MoaLong methodFlags;    // reserved
  MoaLong methodSelector;  // 0 is the first handler line of the method table
  MoaMmValue resultValue;
  MoaLong nargs;
  MoaMmValue* pArgs;
};

// The Xtra's interfaces, called by Director.
struct IMoaRegister : IMoaUnknown {
  virtual MoaError MOA_CALL Register(IMoaCache* cache, IMoaDict* xtraDict) = 0;  // 3
};

struct IMoaNotificationClient : IMoaUnknown {
  // 3. For the idle notification, data points at the ms since the last call.
  virtual MoaError MOA_CALL Notify(const MoaID* notifyId, void* notifyData, void* refCon) = 0;
};

struct IMoaMmXScript : IMoaUnknown {
  virtual MoaError MOA_CALL Call(MoaMmCallInfo* callInfo) = 0;  // 3
};

// What Director writes at the start of every instance before the create
// callback runs. The instance address is its own IMoaUnknown (+0 holds that
// vtable); the Xtra never writes these bytes.
struct MoaInstanceBase {
  const void* vtable;
  void* magicCookie;
  IMoaCallback* pCallback;
  IMoaCalloc* pCalloc;
  const MoaID* pClassID;
  MoaLong refCount;

  IMoaUnknown* Self() { return reinterpret_cast<IMoaUnknown*>(this); }
};

#if defined(_WIN32)
static_assert(sizeof(void*) == 4, "Director loads 32-bit Xtras");
static_assert(sizeof(MoaInstanceBase) == 24);
static_assert(sizeof(MoaMmCallInfo) == 28);
static_assert(offsetof(MoaMmCallInfo, methodSelector) == 8);
static_assert(offsetof(MoaMmCallInfo, resultValue) == 12);
static_assert(offsetof(MoaMmCallInfo, nargs) == 20);
static_assert(offsetof(MoaMmCallInfo, pArgs) == 24);
#endif

using MoaClassCreateProc = MoaError(MOA_CALL*)(void* instance);
using MoaClassDestroyProc = void(MOA_CALL*)(void* instance);

// One row of what DllGetClassInfo hands Director; Director frees the array
// with the allocator it passed in.
struct MoaClassInterfaceInfo {
  MoaID classId;
  MoaLong classVersion;
  MoaID interfaceId;
  MoaLong interfaceVersion;
};
static_assert(sizeof(MoaClassInterfaceInfo) == 40);

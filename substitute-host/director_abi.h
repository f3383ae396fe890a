// Director's Xtra interface as the substitute host lays it out: the records
// and codes that cross between Director and an Xtra, with Director's own
// names. The host never takes these from an Xtra's headers, so that a layout
// mistake on either side shows up as a failing test instead of agreeing with
// itself.
#pragma once

#include <cstddef>
#include <cstdint>

// Every interface method and every export is __stdcall on 32-bit Windows:
// the callee pops its own arguments. Natively the platform's one calling
// convention serves, and a C++ virtual call passes the object first, as
// these functions take it.
#if defined(_WIN32)
#define XDK_CALL __stdcall
#else
#define XDK_CALL
#endif

namespace director {

using MoaLong = int32_t;
using MoaUlong = uint32_t;
using MoaError = int32_t;
using MoaMmSymbol = MoaLong;

struct MoaID {
  MoaUlong data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};

inline bool SameMoaID(const MoaID& a, const MoaID& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.data4[i] != b.data4[i]) return false;
  return true;
}

// A Lingo value: 8 bytes that only Director reads. {0,0} only initialises a
// variable; void is {2,0}.
struct MoaMmValue {
  MoaLong ty;
  MoaLong it;
};

constexpr MoaMmValue kNullMoaMmValue{0, 0};
constexpr MoaMmValue kVoidMoaMmValue{2, 0};

inline bool IsNull(const MoaMmValue& value) { return value.ty == 0 && value.it == 0; }
inline bool IsVoid(const MoaMmValue& value) { return value.ty == kVoidMoaMmValue.ty && value.it == 0; }

// What ValueType answers.
enum : MoaLong {
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

// One Lingo call as IMoaMmXScript::Call receives it. The first two fields are
// Director's own; pArgs[0] is the object the handler runs on.
struct MoaMmCallInfo {
  void* xinst;
  MoaLong methodFlags;
  MoaLong methodSelector;
  MoaMmValue resultValue;
  MoaLong nargs;
  MoaMmValue* pArgs;
};

// One entry of what DllGetClassInfo hands back; a zero class and interface
// end the array.
struct MoaClassInterfaceInfo {
  MoaID classId;
  MoaLong classVersion;
  MoaID interfaceId;
  MoaLong interfaceVersion;
};

// The start of every instance: Director fills it before the create proc runs
// and the Xtra never writes it. The instance's address is its own IMoaUnknown.
struct InstanceBase {
  const void* vtable;
  const void* magicCookie;
  void* pCallback;
  void* pCalloc;
  const MoaID* pClassID;
  MoaLong refCount;
};

// Director's bytes: the fields, without any padding behind refCount.
constexpr size_t kInstanceBaseBytes = offsetof(InstanceBase, refCount) + sizeof(MoaLong);

// Filled by PushXtraContext and given back to PopXtraContext.
struct DrContextState {
  uint8_t opaque[16];
};

// Dictionary entry types of IMoaDict.
enum : MoaUlong {
  kMoaDictType_Dict = 1,
  kMoaDictType_Unknown = 2,
  kMoaDictType_Long = 3,
  kMoaDictType_Float = 4,
  kMoaDictType_Wide = 5,
  kMoaDictType_Bool = 6,
  kMoaDictType_MoaID = 7,
  kMoaDictType_Bytes = 8,
  kMoaDictType_CString = 9,
  kMoaDictType_Double = 10,
  kMoaDictType_Point = 11,
  kMoaDictType_Rect = 12,
};

// What IMoaAppInfo::GetInfo can be asked for.
enum : MoaLong {
  kMoaAppInfo_SerialNumber = 0,
  kMoaAppInfo_RunMode = 1,
  kMoaAppInfo_UserName = 2,
  kMoaAppInfo_Organization = 3,
  kMoaAppInfo_AppFileSpec = 4,
  kMoaAppInfo_ProductName = 5,
  kMoaAppInfo_ProductVersion = 6,
  kMoaAppInfo_BuildVersion = 7,
  kMoaAppInfo_UILanguage = 8,
  kMoaAppInfo_OSLanguage = 9,
};

constexpr MoaError kMoaErr_NoErr = 0;
constexpr MoaError kMoaErr_OutOfMem = static_cast<MoaError>(0x80040002u);
constexpr MoaError kMoaErr_XtraInUse = static_cast<MoaError>(0x80040003u);
constexpr MoaError kMoaErr_BadInterface = static_cast<MoaError>(0x80040004u);
constexpr MoaError kMoaErr_BadClass = static_cast<MoaError>(0x80040005u);
// IMoaAppInfo::GetInfo: no such key.
constexpr MoaError kMoaErr_NoSuchKey = static_cast<MoaError>(0x80040013u);
// Director's multimedia errors are MAKE_MOAERR(kMoaMmErr_Base + n): the
// facility 4 in the high word, the code from 2000 in the low one.
constexpr MoaError MakeMoaMmErr(int code) {
  return static_cast<MoaError>(0x80000000u | (4u << 16) | static_cast<uint32_t>(2000 + code));
}
// IMoaMmXScript::Call: a selector the Xtra's method table has no handler for.
constexpr MoaError kMoaMmErr_ArgOutOfRange = MakeMoaMmErr(8);

#if defined(_WIN32)
static_assert(sizeof(void*) == 4, "Director's Xtras are 32-bit");
static_assert(sizeof(MoaID) == 16);
static_assert(sizeof(MoaMmValue) == 8);
static_assert(sizeof(MoaClassInterfaceInfo) == 40 && offsetof(MoaClassInterfaceInfo, interfaceId) == 20);
static_assert(sizeof(MoaMmCallInfo) == 28);
static_assert(offsetof(MoaMmCallInfo, methodSelector) == 8 && offsetof(MoaMmCallInfo, resultValue) == 12);
static_assert(offsetof(MoaMmCallInfo, nargs) == 20 && offsetof(MoaMmCallInfo, pArgs) == 24);
static_assert(sizeof(InstanceBase) == 24 && kInstanceBaseBytes == 24);
static_assert(offsetof(InstanceBase, magicCookie) == 4 && offsetof(InstanceBase, pCallback) == 8);
static_assert(offsetof(InstanceBase, pCalloc) == 12 && offsetof(InstanceBase, pClassID) == 16);
static_assert(offsetof(InstanceBase, refCount) == 20);
#endif

}  // namespace director

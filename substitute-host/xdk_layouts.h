// The slot order of every interface of Director's that the host serves, as
// Director lays it out. Each line is one slot after QueryInterface, AddRef and
// Release (0 to 2): its number, name, return type, parameters and the names
// that pass them on. Parameters are the real ones even where the host serves
// nothing, since on 32-bit Windows the callee pops them.
#pragma once

#include "director_abi.h"

namespace director {

// Interface pointers the host hands out or is handed: only ever pointers.
struct IMoaUnknown;
struct IMoaCallback;
struct IMoaCalloc;
struct IMoaCache;
struct IMoaDict;
struct IMoaMmValue;
struct IMoaMmList;
struct IMoaDrPlayer;
struct IMoaDrMovie;
struct IMoaDrMovieContext;
struct IMoaNotification;
struct IMoaNotificationClient;
struct IMoaMmWndWin;
struct IMoaAppInfo;
struct IMoaRegister;
struct IMoaMmXScript;

// As the XDK declares them: MoaGetCache takes nothing and answers the cache
// itself; the resource pair takes the Xtra's file reference.
#define XDK_IMOACALLBACK_SLOTS(X)                                                                          \
  X(3, MoaCreateInstance, MoaError, (const MoaID* classId, const MoaID* iid, void** out), (classId, iid, out)) \
  X(4, MoaGetCache, IMoaCache*, (), ())                                                                     \
  X(5, MoaBeginUsingResources, MoaError, (void* fileRef, void** saveCookie), (fileRef, saveCookie))         \
  X(6, MoaEndUsingResources, MoaError, (void* fileRef, void* saveCookie), (fileRef, saveCookie))

#define XDK_IMOACALLOC_SLOTS(X)                        \
  X(3, NRAlloc, void*, (MoaUlong size), (size)) \
  X(4, NRFree, void, (void* block), (block))

#define XDK_IMOACACHE_SLOTS(X)                                                                                   \
  X(3, EnumerateFileEntries, MoaError, (void* proc, void* refCon), (proc, refCon))                              \
  X(4, EnumerateXtraEntries, MoaError, (void* proc, void* refCon), (proc, refCon))                              \
  X(5, EnumerateRegistryEntries, MoaError, (void* proc, void* refCon), (proc, refCon))                          \
  X(6, SetXtraEntryNoncacheable, MoaError, (IMoaDict * xtraDict), (xtraDict))                                   \
  X(7, AddRegistryEntry, MoaError,                                                                              \
    (IMoaDict * xtraDict, const MoaID* classId, const MoaID* iid, IMoaDict** registryEntryDict),               \
    (xtraDict, classId, iid, registryEntryDict))                                                                \
  X(8, GetInstanceFromRegistry, MoaError, (IMoaDict * dict, const MoaID* iid, void** out), (dict, iid, out))    \
  X(9, CreateNewInstanceFromRegistry, MoaError, (IMoaDict * dict, const MoaID* iid, void** out), (dict, iid, out)) \
  X(10, EnumerateRegistryEntriesFromFile, MoaError, (void* fileSpec, MoaLong maxLevels, void* proc, void* refCon), \
    (fileSpec, maxLevels, proc, refCon))                                                                        \
  X(11, GetFileSpecFromFileDict, MoaError, (IMoaDict * dict, void* fileSpec, MoaLong size), (dict, fileSpec, size))

#define XDK_IMOADICT_SLOTS(X)                                                                                   \
  X(3, SetSize, MoaError, (MoaUlong size), (size))                                                             \
  X(4, MakeDict, MoaError, (IMoaDict** out, const char* key), (out, key))                                      \
  X(5, Get, MoaError, (MoaUlong type, void* buffer, MoaLong size, const char* key), (type, buffer, size, key)) \
  X(6, Put, MoaError, (MoaUlong type, const void* data, MoaLong size, const char* key), (type, data, size, key)) \
  X(7, Remove, MoaError, (const char* key), (key))                                                             \
  X(8, Count, MoaError, (MoaUlong* count), (count))                                                            \
  X(9, GetNth, MoaError, (MoaUlong index, MoaUlong* type, MoaLong* size, const char** key),                    \
    (index, type, size, key))                                                                                   \
  X(10, GetInfo, MoaError, (MoaUlong* type, MoaLong* size, const char* key), (type, size, key))                \
  X(11, FindKey, const char*, (const char* key), (key))

#define XDK_IMOAMMVALUE_SLOTS(X)                                                                              \
  X(3, StringToSymbol, MoaError, (const char* text, MoaMmSymbol* symbol), (text, symbol))                    \
  X(4, SymbolToString, MoaError, (MoaMmSymbol symbol, char* buffer, MoaLong size), (symbol, buffer, size))   \
  X(5, ValueType, MoaError, (const MoaMmValue* value, MoaLong* type), (value, type))                         \
  X(6, ValueAddRef, MoaError, (MoaMmValue * value), (value))                                                 \
  X(7, ValueRelease, MoaError, (MoaMmValue * value), (value))                                                \
  X(8, ValueToInteger, MoaError, (const MoaMmValue* value, MoaLong* out), (value, out))                      \
  X(9, ValueToSymbol, MoaError, (const MoaMmValue* value, MoaMmSymbol* out), (value, out))                   \
  X(10, ValueToFloat, MoaError, (const MoaMmValue* value, double* out), (value, out))                        \
  X(11, ValueStringLength, MoaError, (const MoaMmValue* value, MoaLong* length), (value, length))            \
  X(12, ValueToString, MoaError, (const MoaMmValue* value, char* buffer, MoaLong size), (value, buffer, size)) \
  X(13, ValueToStringPtr, MoaError, (const MoaMmValue* value, const char** text), (value, text))             \
  X(14, ValueReleaseStringPtr, MoaError, (const MoaMmValue* value), (value))                                 \
  X(15, ValueToPoint, MoaError, (const MoaMmValue* value, void* point), (value, point))                      \
  X(16, ValueToRect, MoaError, (const MoaMmValue* value, void* rect), (value, rect))                         \
  X(17, IntegerToValue, MoaError, (MoaLong number, MoaMmValue* out), (number, out))                          \
  X(18, SymbolToValue, MoaError, (MoaMmSymbol symbol, MoaMmValue* out), (symbol, out))                       \
  X(19, FloatToValue, MoaError, (double number, MoaMmValue* out), (number, out))                             \
  X(20, StringToValue, MoaError, (const char* text, MoaMmValue* out), (text, out))                           \
  X(21, StringHandleToValue, MoaError, (void* handle, MoaMmValue* out), (handle, out))                       \
  X(22, PointToValue, MoaError, (const void* point, MoaMmValue* out), (point, out))                          \
  X(23, RectToValue, MoaError, (const void* rect, MoaMmValue* out), (rect, out))

#define XDK_IMOAMMLIST_SLOTS(X)                                                                                \
  X(3, NewListValue, MoaError, (MoaMmValue * out), (out))                                                     \
  X(4, AppendValueToList, MoaError, (MoaMmValue * list, MoaMmValue* item), (list, item))                      \
  X(5, CountElements, MoaLong, (const MoaMmValue* list), (list))                                              \
  X(6, GetValueByIndex, MoaError, (const MoaMmValue* list, MoaLong index, MoaMmValue* out), (list, index, out)) \
  X(7, SetValueByIndex, MoaError, (MoaMmValue * list, MoaLong index, MoaMmValue* item), (list, index, item))  \
  X(8, NewPropListValue, MoaError, (MoaMmValue * out), (out))                                                 \
  X(9, AppendValueToPropList, MoaError, (MoaMmValue * list, MoaMmValue* property, MoaMmValue* item),          \
    (list, property, item))                                                                                    \
  X(10, GetValueByProperty, MoaError, (const MoaMmValue* list, MoaMmValue* property, MoaMmValue* out),        \
    (list, property, out))                                                                                     \
  X(11, SetValueByProperty, MoaError, (MoaMmValue * list, MoaMmValue* property, MoaMmValue* item),            \
    (list, property, item))                                                                                    \
  X(12, GetPropertyNameByIndex, MoaError, (const MoaMmValue* list, MoaLong index, MoaMmValue* out),           \
    (list, index, out))

#define XDK_IMOADRPLAYER_SLOTS(X)                                                                               \
  X(3, GetProp, MoaError, (MoaMmSymbol property, MoaMmValue* out), (property, out))                            \
  X(4, SetProp, MoaError, (MoaMmSymbol property, const MoaMmValue* value), (property, value))                  \
  X(5, CallHandler, MoaError, (MoaMmSymbol name, MoaLong count, MoaMmValue* args, MoaMmValue* result),         \
    (name, count, args, result))                                                                               \
  X(6, GetActiveMovie, MoaError, (IMoaDrMovie** movie), (movie))                                               \
  X(7, GetMovieCount, MoaError, (MoaLong* count), (count))                                                     \
  X(8, GetNthMovie, MoaError, (MoaLong index, IMoaDrMovie** movie), (index, movie))                            \
  X(9, ResolveFileName, MoaError, (const char* name, char* path, MoaLong size), (name, path, size))             \
  X(10, GetCastMemTypeCount, MoaError, (MoaLong* count), (count))                                              \
  X(11, GetNthCastMemTypeSymbol, MoaError, (MoaLong index, MoaMmSymbol* symbol), (index, symbol))              \
  X(12, GetCastMemTypeDisplayName, MoaError, (MoaMmSymbol symbol, char* name, MoaLong size), (symbol, name, size)) \
  X(13, GetGlobalVarValue, MoaError, (MoaMmSymbol name, MoaMmValue* out), (name, out))                         \
  X(14, SetGlobalVarValue, MoaError, (MoaMmSymbol name, MoaMmValue* value), (name, value))

// Director publishes slot 8 of the movie alone; what lies before it has no
// published parameters.
#define XDK_IMOADRMOVIE_SLOTS(X)                                                                       \
  X(8, CallHandler, MoaError, (MoaMmSymbol name, MoaLong count, MoaMmValue* args, MoaMmValue* result), \
    (name, count, args, result))
#define XDK_IMOADRMOVIE_UNLISTED(U) U(3) U(4) U(5) U(6) U(7)

#define XDK_IMOADRMOVIECONTEXT_SLOTS(X)                                            \
  X(3, PushXtraContext, MoaError, (DrContextState * state), (state))             \
  X(4, PopXtraContext, MoaError, (DrContextState * state), (state))              \
  X(5, ReleaseExclusiveThread, MoaError, (DrContextState * state), (state))      \
  X(6, ReacquireExclusiveThread, MoaError, (DrContextState * state), (state))

#define XDK_IMOANOTIFICATION_SLOTS(X)                                                                          \
  X(3, RegisterNotificationClient, MoaError,                                                                  \
    (IMoaNotificationClient * client, const MoaID* nid, const void* data, const void* refCon),                \
    (client, nid, data, refCon))                                                                               \
  X(4, UnregisterNotificationClient, MoaError, (IMoaNotificationClient * client, const MoaID* nid, const void* data), \
    (client, nid, data))                                                                                       \
  X(5, SendNotification, MoaError, (const MoaID* nid, const void* data), (nid, data))

#define XDK_IMOAMMWNDWIN_SLOTS(X)                                                                              \
  X(3, WinDialogBox, MoaLong, (void* cookie, const char* dialogTemplate, void* dialogProc),                    \
    (cookie, dialogTemplate, dialogProc))                                                                      \
  X(4, WinGetParent, MoaError, (void** instance, void** window), (instance, window))                           \
  X(5, WinDialogBoxParam, MoaLong, (void* cookie, const char* dialogTemplate, void* dialogProc, MoaLong param), \
    (cookie, dialogTemplate, dialogProc, param))                                                               \
  X(6, WinPrepareDialogBox, MoaError, (void** cookie), (cookie))                                               \
  X(7, WinUnprepareDialogBox, MoaError, (void* cookie), (cookie))

#define XDK_IMOAAPPINFO_SLOTS(X) \
  X(3, GetInfo, MoaError, (MoaLong what, char* buffer, MoaLong size), (what, buffer, size))

#define XDK_NO_UNLISTED(U)

}  // namespace director

// kernel32: events, waits, threads, critical sections, time, last error,
// message texts and debug output.
#pragma once

#include <cstdarg>

#include "standin/win_errors.h"
#include "standin/win_types.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_ABANDONED_0 = 0x00000080;
constexpr DWORD WAIT_TIMEOUT = 0x00000102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD STACK_SIZE_PARAM_IS_A_RESERVATION = 0x00010000;

using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID);
using FARPROC = LONG_PTR(WINAPI*)();

constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT = 0x00000002;
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS = 0x00000004;

// Callers embed it and never look inside. Ours holds the recursive mutex
// that InitializeCriticalSection makes; the rest keeps Windows' size.
struct CRITICAL_SECTION {
  void* Lock;
  void* Reserved[4];
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
constexpr DWORD FORMAT_MESSAGE_FROM_STRING = 0x00000400;
constexpr DWORD FORMAT_MESSAGE_FROM_HMODULE = 0x00000800;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
constexpr DWORD FORMAT_MESSAGE_MAX_WIDTH_MASK = 0x000000FF;
constexpr WORD LANG_NEUTRAL = 0x00;
constexpr WORD LANG_ENGLISH = 0x09;
constexpr WORD SUBLANG_DEFAULT = 0x01;
constexpr WORD SUBLANG_ENGLISH_US = 0x01;
#define MAKELANGID(primary, sub) ((static_cast<WORD>(sub) << 10) | static_cast<WORD>(primary))

extern "C" {

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD dwErrCode);

BOOL WINAPI CloseHandle(HANDLE hObject);

// Unnamed events only: a name fails with ERROR_NOT_SUPPORTED.
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                           LPCSTR lpName);
BOOL WINAPI SetEvent(HANDLE hEvent);
BOOL WINAPI ResetEvent(HANDLE hEvent);
// Events and threads can be waited for; other handles fail with
// ERROR_INVALID_HANDLE. A wait-all on the same handle twice fails with
// ERROR_INVALID_PARAMETER, as on Windows.
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds);

// The stack size is left to the C++ library; CREATE_SUSPENDED is refused
// with ERROR_INVALID_PARAMETER.
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                           LPDWORD lpThreadId);
BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
DWORD WINAPI GetCurrentThreadId();

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// Modules: kernel32.dll by name, whose GetProcAddress knows CancelIo and
// CancelIoEx; any loaded library by an address in it.
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// Only with GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS; takes a reference on the
// library, which stays loaded until FreeLibrary.
BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule);
BOOL WINAPI FreeLibrary(HMODULE hLibModule);
// Unlike Windows' this returns, and the calling thread's start routine must
// return at once: the library is released when it has, before the thread
// counts as ended. On a thread not made by CreateThread it is released now.
void WINAPI FreeLibraryAndExitThread(HMODULE hLibModule, DWORD dwExitCode);

void WINAPI Sleep(DWORD dwMilliseconds);
DWORD WINAPI GetTickCount();

// Only system messages, always as if FORMAT_MESSAGE_IGNORE_INSERTS were
// given, and no FORMAT_MESSAGE_ALLOCATE_BUFFER.
DWORD WINAPI FormatMessageW(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                            LPWSTR lpBuffer, DWORD nSize, va_list* Arguments);
void WINAPI OutputDebugStringA(LPCSTR lpOutputString);

}  // extern "C"

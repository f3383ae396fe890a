// kernel32 file functions, for the paths of HID device interfaces only: the
// stand-in opens no ordinary files through them. Drive types and file
// attributes are told of drive-letter paths (see standin/drives.h).
#pragma once

#include "standin/win_errors.h"
#include "standin/win_types.h"

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x00000400;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

// Windows keeps Offset/OffsetHigh in a union with a pointer; the union has
// the same size and place on 64-bit, and HID reads never use either.
struct OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
};
using LPOVERLAPPED = OVERLAPPED*;

constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;

// What ReadFile and WriteFile leave in OVERLAPPED.Internal while they run.
constexpr NTSTATUS STATUS_PENDING = 0x00000103;

extern "C" {

// Drive letters only ("c:\\"): every other root has no drive.
UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName);
UINT WINAPI GetDriveTypeW(LPCWSTR lpRootPathName);
// Where fopen puts a drive-letter path: a folder, a file (archive, as Windows
// marks a new one) or a symbolic link (a reparse point, whatever it leads
// to). No such file fails with ERROR_FILE_NOT_FOUND, no such folder on the
// way with ERROR_PATH_NOT_FOUND, and any other path with ERROR_PATH_NOT_FOUND.
DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName);

// Like Windows, refuses with ERROR_SHARING_VIOLATION an open for reading or
// writing that the share modes of the device's other such opens do not
// allow, or whose own share mode does not allow theirs; opens without
// either access neither are refused nor refuse others.
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped);
BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED lpOverlapped);
// For the HID class driver's report requests (IOCTL_HID_*) only; any other
// code is ERROR_INVALID_FUNCTION, as a driver that does not know it answers.
// They take the report where the HidD_ functions do, and wait for a
// stalled device as writes do.
BOOL WINAPI DeviceIoControl(HANDLE hDevice, DWORD dwIoControlCode, LPVOID lpInBuffer, DWORD nInBufferSize,
                            LPVOID lpOutBuffer, DWORD nOutBufferSize, LPDWORD lpBytesReturned,
                            LPOVERLAPPED lpOverlapped);
BOOL WINAPI GetOverlappedResult(HANDLE hFile, LPOVERLAPPED lpOverlapped, LPDWORD lpNumberOfBytesTransferred,
                                BOOL bWait);
// Windows' macro reads OVERLAPPED.Internal, which the system writes when the
// operation ends; the stand-in reads it under the lock its completions take.
BOOL WINAPI HasOverlappedIoCompleted(const OVERLAPPED* lpOverlapped);
// Cancels the reads and writes on the handle that the calling thread
// started, as on Windows.
BOOL WINAPI CancelIo(HANDLE hFile);
// Cancels `lpOverlapped` (every operation on the handle when null), whichever
// thread started it; fails with ERROR_NOT_FOUND when there is none.
BOOL WINAPI CancelIoEx(HANDLE hFile, LPOVERLAPPED lpOverlapped);

}  // extern "C"

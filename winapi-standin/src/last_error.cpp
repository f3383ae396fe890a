#include "standin/kernel.h"

namespace {
thread_local DWORD gLastError = ERROR_SUCCESS;
}

extern "C" DWORD WINAPI GetLastError() { return gLastError; }
extern "C" void WINAPI SetLastError(DWORD dwErrCode) { gLastError = dwErrCode; }

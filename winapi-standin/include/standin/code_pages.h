// Conversions between UTF-16 and byte encodings. The stand-in's system code
// page is Windows-1252, as on a Western European or American Windows.
#pragma once

#include "standin/win_types.h"

using LPCCH = const char*;
using LPCWCH = const WCHAR*;
using LPBOOL = BOOL*;

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

extern "C" {
UINT WINAPI GetACP();
// Code pages CP_ACP, 1252 and CP_UTF8. A length of -1 converts through the
// terminator and counts it; a size of 0 asks for the size needed. UTF-8
// takes no flags and no default character.
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar);
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar);
}

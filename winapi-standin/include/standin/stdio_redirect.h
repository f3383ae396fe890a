// The Xtra writes its log to a drive-letter path with the C runtime's file
// functions. Natively such paths land under a drive root of the test's
// choosing instead of the working folder: "c:\\dir\\log.txt" opens
// <drive root>/c/dir/log.txt, making the folders. Other paths are opened
// unchanged. As on Windows, fopen reads its name in the ANSI code page
// (Windows-1252) and _wfopen in UTF-16. Code that includes this must call
// them unqualified (std::fopen would not compile).
#pragma once

#include <cstdio>

#include "standin/win_types.h"

extern "C" FILE* StandinOpenFile(const char* path, const char* mode);
extern "C" FILE* StandinOpenFileW(const WCHAR* path, const WCHAR* mode);

#define fopen StandinOpenFile
#define _wfopen StandinOpenFileW

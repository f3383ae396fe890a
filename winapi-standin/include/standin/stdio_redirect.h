// The Xtra writes its log to a drive-letter path with plain fopen. Natively
// such paths land under a drive root of the test's choosing instead of the
// working folder: "c:\dir\log.txt" opens <drive root>/c/dir/log.txt, making
// the folders. Other paths are opened unchanged. Code that includes this
// must call fopen unqualified (std::fopen would not compile).
#pragma once

#include <cstdio>

extern "C" FILE* StandinOpenFile(const char* path, const char* mode);

#define fopen StandinOpenFile

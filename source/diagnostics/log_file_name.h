// Which files the log may be written to. A movie names the file, and a movie
// may come from the web: the log must never reach a network server, a device,
// a program or a file that is not HidBridge's own log.
#pragma once

#include <cstddef>

#include "platform.h"

constexpr char kLogNameNotLocal[] =
    "The log file must be a full path on a local drive, such as c:\\HidBridge_XtraLog.txt";
constexpr char kLogNameIsDevice[] = "The log file name is one Windows keeps for a device, such as NUL, CON or COM1";
constexpr char kLogNameNotText[] = "The log file name must end in .log or .txt";

// Converts the movie's name into `wide`, as Windows will be given it, and
// answers why the log may not be written there, or null when it may: a full
// path on a local drive ("c:\folder\name.txt"), not a network share, not even
// one mapped to a letter, no "\\?\" or "\\.\" name, no stream, no DOS device
// such as "nul" or "com1" in any folder, and a file that Windows opens to be
// read, never runs: ".log" or ".txt", exactly at the end.
const char* LogFileNameFault(const char* name, WCHAR* wide, size_t wideSize);

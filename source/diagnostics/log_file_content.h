// Which existing file the log may add to: only one that is wholly a log
// HidBridge wrote. A movie names the file, so nothing else may be written
// into, or emptied, by naming it.
#pragma once

#include "platform.h"

// The build stamp that begins every log, and every opening of it after.
constexpr char kLogStampDate[] = "Code compile date:";
constexpr char kLogStampTime[] = " Code compile time:";

// A larger file is not read through at every opening.
constexpr long kLargestLogAddedTo = 16L * 1024 * 1024;

constexpr char kLogIsFolder[] = "The log file name is a folder";
constexpr char kLogIsLink[] = "The log file is a link; name the file itself";
constexpr char kLogNotOurs[] = "The log file exists and is not HidBridge's log";
constexpr char kLogUnreadable[] = "The log file exists and cannot be read";
constexpr char kLogTooLarge[] = "The log file is larger than 16 MB; delete it or name another";

// Null when the log may add to the file `name`: there is none yet, it is
// empty, or it holds a build stamp and then only build stamps and entries
// ("<tick>: <tag>:<message>") of printable text, each line ended. Else why
// not.
const char* LogFileContentFault(const WCHAR* name);

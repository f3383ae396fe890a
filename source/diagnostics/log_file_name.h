// Which files the log may be written to. A movie names the file, and a movie
// may come from the web: the log must never reach a network server, a device
// or a file that is not HidBridge's own log.
#pragma once

// A full path on a local drive ("c:\folder\name.txt"): not a network share,
// not even one mapped to a letter, no "\\?\" or "\\.\" name, no stream and no
// DOS device such as "nul" or "com1" in any folder.
bool IsLocalLogFileName(const char* name);

// The first line of every log HidBridge writes, by which it knows its own.
constexpr char kLogHeaderStart[] = "Code compile date:";

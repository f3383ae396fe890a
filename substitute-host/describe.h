// xtrahost --describe: what Director learns of an Xtra while discovering
// and registering it.
#pragma once

#include <string>

// Answers the exit status: 0 when registration went well and left nothing.
int Describe(const std::string& path);

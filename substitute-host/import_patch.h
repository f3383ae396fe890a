// Redirects what a loaded module calls through its import address table,
// as a debugger does, so that its calls to one Windows function reach ours.
#pragma once

#include <windows.h>

#include <string>

// True when done, or when the module does not import `function` from `dll`
// (it cannot call it then); false with error when the slot stays unwritable.
bool PatchImport(HMODULE module, const char* dll, const char* function, const void* replacement, std::string* error);

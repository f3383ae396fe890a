// Redirects what a loaded module calls through its import address table,
// as a debugger does, so that its calls to one Windows function reach ours.
#pragma once

#include <windows.h>

#include <string>

// False with error when the module does not import `function` from `dll`.
bool PatchImport(HMODULE module, const char* dll, const char* function, const void* replacement, std::string* error);

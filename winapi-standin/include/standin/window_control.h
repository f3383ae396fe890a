// What tests see of the stand-in's windows.
#pragma once

#include <cstddef>

#include "standin/win_types.h"

namespace standin {

// Windows not yet destroyed, and device notifications not yet unregistered.
std::size_t WindowCount();
std::size_t DeviceNotificationCount();
// RegisterClassExA calls so far, successful or not.
std::size_t ClassRegistrationCount();

// A top-level window that another process made, as FindWindow finds it on
// the desktop: no procedure of this process runs for it and this process
// cannot destroy it; EndWindowOfAnotherProcess takes it away again.
HWND WindowOfAnotherProcess(const char* className, const char* title);
void EndWindowOfAnotherProcess(HWND window);

}  // namespace standin

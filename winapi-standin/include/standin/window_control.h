// What tests see of the stand-in's windows.
#pragma once

#include <cstddef>

namespace standin {

// Windows not yet destroyed, and device notifications not yet unregistered.
std::size_t WindowCount();
std::size_t DeviceNotificationCount();
// RegisterClassExA calls so far, successful or not.
std::size_t ClassRegistrationCount();

}  // namespace standin

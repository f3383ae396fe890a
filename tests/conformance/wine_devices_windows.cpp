#include "wine_devices.h"

// Wine's devices are there already, and Windows keeps no count to check.
void WindowsApi::SetUp() {}
void WindowsApi::TearDown() {}

#include <cstdlib>

#include "xtra_module.h"

std::string DefaultXtraPath() {
  if (const char* path = std::getenv("HIDBRIDGE_XTRA")) return path;
#if defined(_WIN32)
  return "HidBridge.x32";
#else
  return HIDBRIDGE_NATIVE_XTRA;
#endif
}

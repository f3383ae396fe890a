// The utility service, of which the Xtra needs only the main window: the
// owner of its dialogs and of its device-change window.
#pragma once

#include <cstdint>

#include "host_errors.h"
#include "host_object.h"

class HostUtils : public HostObject<IMoaMmUtils> {
 public:
  HostUtils() : HostObject(IID_IMoaMmUtils) {}

  // Fixed and made up, so that a test can see the Xtra pass on what it got.
  static void* MainWindow() { return reinterpret_cast<void*>(static_cast<uintptr_t>(0x00D1EC70)); }

  MoaError MOA_CALL GetMainWindow(void** windowHandle) override {
    if (!windowHandle) return kHostErr_BadArgument;
    *windowHandle = MainWindow();
    return kMoaErr_NoErr;
  }
};

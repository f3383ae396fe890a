#include "window_service.h"

#include <cstdint>

using namespace director;

namespace {

void* MadeUp(uintptr_t value) { return reinterpret_cast<void*>(value); }

// The cookie of the dialog prepared at `depth` (from 1).
void* CookieAt(int depth) { return MadeUp(0xD1A10000u + static_cast<uintptr_t>(depth)); }

}  // namespace

void* HostWindows::ParentWindow() { return MadeUp(0x00D1EC70); }
void* HostWindows::DirectorInstance() { return MadeUp(0x00400000); }

MoaError HostWindows::WinGetParent(void** instance, void** window) {
  if (instance) *instance = DirectorInstance();
  if (window) *window = ParentWindow();
  return kMoaErr_NoErr;
}

MoaError HostWindows::WinPrepareDialogBox(void** cookie) {
  if (!cookie) return kHostErr_BadArgument;
  *cookie = CookieAt(++prepares_ - unprepares_);
  return kMoaErr_NoErr;
}

MoaError HostWindows::WinUnprepareDialogBox(void* cookie) {
  const int depth = prepares_ - unprepares_;
  if (depth == 0) {
    watch().Misuse("WinUnprepareDialogBox without WinPrepareDialogBox");
    return kHostErr_BadArgument;
  }
  if (cookie != CookieAt(depth))
    watch().Misuse("WinUnprepareDialogBox given a cookie its WinPrepareDialogBox did not hand out");
  ++unprepares_;
  return kMoaErr_NoErr;
}

void HostWindows::MessageBoxShown(const void* owner) {
  ++boxes_;
  if (prepares_ == unprepares_)
    watch().Misuse("a message box shown outside WinPrepareDialogBox / WinUnprepareDialogBox");
  if (owner != ParentWindow()) watch().Misuse("a message box not parented on the window WinGetParent gives");
}

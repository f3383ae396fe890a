// IMoaMmWndWin: Director's window for the Xtra's dialogs, and the bracket
// WinPrepareDialogBox / WinUnprepareDialogBox around every dialog the Xtra
// shows itself. The host checks each message box the Xtra shows against
// both.
#pragma once

#include "host_service.h"

namespace director {
XDK_SERVICE_CLASS(IMoaMmWndWinSlots, IMoaMmWndWin, IID_IMoaMmWndWin, XDK_IMOAMMWNDWIN_SLOTS, XDK_NO_UNLISTED, false);
}  // namespace director

class HostWindows final : public director::IMoaMmWndWinSlots {
 public:
  explicit HostWindows(HostWatch& hostWatch) : IMoaMmWndWinSlots(hostWatch) {}

  // Made up and fixed, so that a test sees the Xtra pass on what it got.
  static void* ParentWindow();
  static void* DirectorInstance();

  director::MoaError WinGetParent(void** instance, void** window) override;
  director::MoaError WinPrepareDialogBox(void** cookie) override;
  director::MoaError WinUnprepareDialogBox(void* cookie) override;

  // A message box the Xtra showed, with the window it named as its owner.
  void MessageBoxShown(const void* owner);

  int prepares() const { return prepares_; }
  int unprepares() const { return unprepares_; }
  int boxes() const { return boxes_; }

 private:
  int prepares_ = 0;
  int unprepares_ = 0;
  int boxes_ = 0;
};

// What Director's idle loop does for an Xtra: dispatch the thread's window
// messages (the Xtra's hidden window lives on them), then notify every
// registered client so that it delivers its deferred Lingo callbacks.
#pragma once

#include "director_host.h"

class IdleLoop {
 public:
  explicit IdleLoop(DirectorHost& host) : host_(host) {}

  void Once();
  // What Windows sent or posted the windows, without the movie's idle.
  void Messages();
  // Lets time pass, idling every 10 ms, and once more at the end.
  void For(int milliseconds);

 private:
  DirectorHost& host_;
};

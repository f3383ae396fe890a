// What the console needs of the terminal: whether one is there, and Ctrl+C
// that ends a watch rather than xtrahost.
#pragma once

bool StandardInputIsTerminal();

// While one lives, Ctrl+C is noted instead of ending the program.
class InterruptCatcher {
 public:
  InterruptCatcher();
  ~InterruptCatcher();
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

  bool interrupted() const;
};

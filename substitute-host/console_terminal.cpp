#include "console_terminal.h"

#include <csignal>
#include <cstdio>
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void NoteInterrupt(int) { gInterrupted = 1; }

}  // namespace

bool StandardInputIsTerminal() { return isatty(fileno(stdin)) != 0; }

InterruptCatcher::InterruptCatcher() {
  gInterrupted = 0;
  std::signal(SIGINT, NoteInterrupt);
}

// Ctrl+C ends xtrahost again.
InterruptCatcher::~InterruptCatcher() { std::signal(SIGINT, SIG_DFL); }

bool InterruptCatcher::interrupted() const { return gInterrupted != 0; }

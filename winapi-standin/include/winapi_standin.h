// The stand-in for the Windows API on which the native build of the Xtra runs.
// It declares the Windows functions and types the Xtra uses, with Windows'
// names, values and layouts, and behaves like Windows where the Xtra relies on
// it.
#pragma once

#include "standin/win_types.h"

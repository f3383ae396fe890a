// The stand-in for the Windows API on which the native build of the Xtra runs.
// It declares the Windows functions and types the Xtra uses, with Windows'
// names, values and layouts, and behaves like Windows where the Xtra relies on
// it. Tests steer it through the headers that standin/control.h gathers.
#pragma once

#include "standin/code_pages.h"
#include "standin/dbt.h"
#include "standin/files.h"
#include "standin/hid.h"
#include "standin/kernel.h"
#include "standin/setupapi.h"
#include "standin/stdio_redirect.h"
#include "standin/user.h"
#include "standin/win_errors.h"
#include "standin/win_types.h"
#include "standin/windows.h"

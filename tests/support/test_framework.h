// Tests shared by the native and the Windows build include this: GoogleTest
// natively, its look-alike under Wine.
#pragma once

#if defined(_WIN32)
#include "minitest.h"
#else
#include <gtest/gtest.h>
#endif

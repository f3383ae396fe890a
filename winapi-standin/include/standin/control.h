// Everything tests use to steer and inspect the stand-in.
#pragma once

#include "standin/clock.h"
#include "standin/drives.h"
#include "standin/faults.h"
#include "standin/leaks.h"
#include "standin/recorders.h"
#include "standin/simulated_bus.h"

// Input calls: the new reports of an object's open device handed to its
// input handler at the host's idle, at most one call per object per idle.
#pragma once

#include "host/xtra_instance.h"

// Makes this idle's input call, if the handler has anything to hear, then
// files what the reader met once no report waits (so that an unplug is told
// after the last reports). Never runs inside a method call or a delivery:
// the caller sees to that.
void DeliverInput(XtraInstance& instance);
// A method called while the input call runs takes its reports out of the
// buffer first: the handler runs, so they are delivered, and must not be
// read twice.
void SettleLentInput(XtraInstance& instance);

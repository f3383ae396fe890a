// Input calls: the new reports of an object's open device handed to its
// input handler at the host's idle, at most one call per object per idle.
#pragma once

#include "host/xtra_instance.h"

// Makes this idle's input call, if the handler has anything to hear, then
// files what the reader met, with or without a handler: the movie hears of
// an unplug at the idle after the reader did. Never runs inside a method
// call or a delivery: the caller sees to that.
void DeliverInput(XtraInstance& instance);
// Whether the input handler hears the open device's reports at idle: one is
// named, the movie has it, and a device is open.
bool InputHandlerListens(const XtraInstance& instance);
// A method called while the input call runs takes its reports out of the
// buffer first: the handler runs, so they are delivered, and must not be
// read twice.
void SettleLentInput(XtraInstance& instance);

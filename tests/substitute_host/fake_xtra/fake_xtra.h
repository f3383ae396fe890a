// A tiny Xtra for the substitute host's own tests: one class serving
// IMoaRegister, IMoaMmXScript and IMoaNotificationClient, whose methods each
// use one part of Director's interface, correctly or, where a test asks for
// it, not.
#pragma once

#include <string>

#include "xtra_interfaces.h"

namespace fake {

using director::InstanceBase;
using director::MoaError;
using director::MoaLong;
using director::MoaMmCallInfo;
using director::MoaMmSymbol;
using director::MoaMmValue;

// The instance as Director allocates it: Director's base, then ours.
struct FakeInstance {
  InstanceBase base;
  xtra_view::IMoaCalloc* calloc;
  xtra_view::IMoaMmValue* values;
  xtra_view::IMoaMmList* lists;
  xtra_view::IMoaDrPlayer* player;
  xtra_view::IMoaNotification* notification;
  xtra_view::IMoaMmWndWin* windows;
  xtra_view::IMoaAppInfo* appInfo;
  xtra_view::IMoaNotificationClient* client;
  xtra_view::IMoaDrMovieContext* context;
  MoaLong idleCalls;
  MoaLong idleGap;
  bool listenInContext;

  xtra_view::IMoaUnknown* unknown() { return reinterpret_cast<xtra_view::IMoaUnknown*>(this); }
};

// Lingo's view: the handler lines, in selector order.
extern const char kMessageTable[];

// IMoaMmXScript::Call for `me`.
MoaError Dispatch(FakeInstance* me, MoaMmCallInfo* info);
// The new and forget handlers.
void Start(FakeInstance* me);
void Stop(FakeInstance* me);

// A string argument, in a buffer of 256 bytes.
std::string Text(FakeInstance* me, const MoaMmValue& value);
MoaMmValue MakeString(FakeInstance* me, const std::string& text);
MoaMmValue MakeInteger(FakeInstance* me, MoaLong number);
MoaMmSymbol Symbol(FakeInstance* me, const char* name);

}  // namespace fake

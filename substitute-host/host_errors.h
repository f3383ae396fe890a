// Statuses with which the substitute host refuses a service call. Director
// has its own; these only need to be distinct, non-zero and recognisable in
// a test's failure message.
#pragma once

#include "host/moa_contract.h"

// The value is of another type than the service needs.
constexpr MoaError kHostErr_WrongType = static_cast<MoaError>(0x80040010u);
// The value was released already, or never handed out.
constexpr MoaError kHostErr_BadValue = static_cast<MoaError>(0x80040011u);
// A list position outside 1 .. count.
constexpr MoaError kHostErr_BadIndex = static_cast<MoaError>(0x80040012u);
// A symbol number the host never handed out, or an empty symbol name.
constexpr MoaError kHostErr_BadSymbol = static_cast<MoaError>(0x80040013u);
// A pointer argument that must not be null was, or a buffer size below 1.
constexpr MoaError kHostErr_BadArgument = static_cast<MoaError>(0x80040014u);
// Unregistering a notification client that is not registered.
constexpr MoaError kHostErr_NotRegistered = static_cast<MoaError>(0x80040015u);
// A call on a script instance that could not be made or is disposed.
constexpr MoaError kHostErr_NoInstance = static_cast<MoaError>(0x80040016u);
// Literal text that does not parse.
constexpr MoaError kHostErr_BadLiteral = static_cast<MoaError>(0x80040017u);

// Statuses with which the substitute host refuses a service call. Director
// has its own; these only need to be distinct, non-zero and recognisable in
// a test's failure message.
#pragma once

#include "director_abi.h"

// The value is of another type than the service needs.
constexpr director::MoaError kHostErr_WrongType = static_cast<director::MoaError>(0x80040010u);
// The value was released already, or never handed out.
constexpr director::MoaError kHostErr_BadValue = static_cast<director::MoaError>(0x80040011u);
// A list position outside 1 .. count.
constexpr director::MoaError kHostErr_BadIndex = static_cast<director::MoaError>(0x80040012u);
// A pointer argument that must not be null was, or a buffer size below 1.
constexpr director::MoaError kHostErr_BadArgument = static_cast<director::MoaError>(0x80040014u);
// Unregistering a notification client that is not registered.
constexpr director::MoaError kHostErr_NotRegistered = static_cast<director::MoaError>(0x80040015u);
// A call on a script instance that could not be made or is disposed.
constexpr director::MoaError kHostErr_NoInstance = static_cast<director::MoaError>(0x80040016u);
// Literal text that does not parse.
constexpr director::MoaError kHostErr_BadLiteral = static_cast<director::MoaError>(0x80040017u);
// A symbol number the host never handed out, or an empty symbol name.
// (0x80040013 is Director's own "no such key".)
constexpr director::MoaError kHostErr_BadSymbol = static_cast<director::MoaError>(0x80040018u);
// A buffer too small for the text and its terminator.
constexpr director::MoaError kHostErr_BufferTooSmall = static_cast<director::MoaError>(0x80040019u);
// A slot of Director's that this host does not serve.
constexpr director::MoaError kHostErr_NotServed = static_cast<director::MoaError>(0x8004001Au);
// A handler the movie does not define: the call is recorded all the same.
constexpr director::MoaError kHostErr_NoSuchHandler = static_cast<director::MoaError>(0x8004001Eu);
// A null value {0,0} where a value belongs.
constexpr director::MoaError kHostErr_NullValue = static_cast<director::MoaError>(0x8004001Bu);
// A property list has no such property.
constexpr director::MoaError kHostErr_NoProperty = static_cast<director::MoaError>(0x8004001Cu);
// GetActiveMovie while the host plays no movie, as at registration.
constexpr director::MoaError kHostErr_NoMovie = static_cast<director::MoaError>(0x8004001Du);
// PushXtraContext of a Director told to refuse it.
constexpr director::MoaError kHostErr_ContextRefused = static_cast<director::MoaError>(0x8004001Eu);

// Security keys (FIDO U2F and FIDO2) answer only to the origin checks of a
// browser, which keeps them from web pages; a movie, which may come from the
// web, must not reach one around them.
#pragma once

#include "platform.h"

// Whether any link collection or usage of the collection lies on the FIDO
// usage page: a key behind a vendor collection counts, as Wine joins a
// device's top-level collections into the first one. False, with `status`
// not HIDP_STATUS_SUCCESS, when hid.dll would not tell.
bool ReachesSecurityKey(PHIDP_PREPARSED_DATA preparsed, const HIDP_CAPS& caps, NTSTATUS& status);

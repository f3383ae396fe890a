// What a collection tells of itself through the HID library: the same
// whether it is listed, opened or has just arrived.
#pragma once

#include "device/hid_collection_info.h"
#include "diagnostics/xtra_result.h"
#include "platform.h"

// The product string of the device open on `device`; empty when it has none.
// False, and empty, when the read failed for a reason that may pass.
bool ReadProductString(HANDLE device, WCHAR (&product)[UsbDeviceInfo::kStringUnits]);
// The collection's capabilities, and whether a security key lies in it; an
// error, in the texts an open answers, when it does not tell them all.
XtraResult ReadCapabilities(HANDLE handle, CollectionCapabilities& caps, bool& securityKey);
// False, with the last error set, when the collection does not tell its ids.
bool ReadAttributes(HANDLE handle, HIDD_ATTRIBUTES& attributes);
// Who the collection at `path` is, as its attributes tell: ids, release and
// interface number.
void DescribeIds(const char* path, const HIDD_ATTRIBUTES& attributes, HidCollectionInfo& info);
// Its strings, from the collection open on `handle`; the product's from
// `knownProduct` when the caller has read it already. Each is asked once.
void ReadStrings(HANDLE handle, const WCHAR* knownProduct, HidCollectionInfo& info);
// Opens the collection at `path` just long enough to describe it, with its
// caps when `withCaps` (zeros when it does not tell them all).
bool DescribeCollectionAt(const char* path, bool withCaps, HidCollectionInfo& info);

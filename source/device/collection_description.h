// What a collection open on a handle tells of itself through the HID library.
#pragma once

#include "device/hid_collection_info.h"
#include "diagnostics/xtra_result.h"
#include "platform.h"

// The product string of the device open on `device`; empty when it has none.
void ReadProductString(HANDLE device, WCHAR (&product)[UsbDeviceInfo::kStringUnits]);
// The collection's capabilities; an error, in the texts an open answers,
// when it does not tell them.
XtraResult ReadCapabilities(HANDLE handle, CollectionCapabilities& caps);
// Describes the collection open on `handle`, whose path is `path`, but for
// its caps; false when it does not even tell its ids.
bool DescribeDevice(HANDLE handle, const char* path, HidCollectionInfo& info);
// Opens the collection at `path` just long enough to describe it, caps
// included (zeros when it does not tell them).
bool DescribeCollectionAt(const char* path, HidCollectionInfo& info);

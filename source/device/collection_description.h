// What a collection open on a handle tells of itself through the HID library.
#pragma once

#include "device/hid_collection_info.h"
#include "diagnostics/xtra_result.h"
#include "platform.h"

// The ids and strings of the device open on `device`.
void FillDeviceInfo(HANDLE device, const HIDD_ATTRIBUTES& attributes, UsbDeviceInfo& info);
// The collection's capabilities; an error, in the texts an open answers,
// when it does not tell them.
XtraResult ReadCapabilities(HANDLE handle, CollectionCapabilities& caps);
// Describes the collection open on `handle`, whose path is `path`; false
// when it does not even tell its ids. DescribeDevice leaves the caps alone.
bool DescribeDevice(HANDLE handle, const char* path, HidCollectionInfo& info);
bool DescribeCollection(HANDLE handle, const char* path, HidCollectionInfo& info);
// Opens the collection at `path` just long enough to describe it.
bool DescribeCollectionAt(const char* path, HidCollectionInfo& info);

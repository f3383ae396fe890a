#include "device/scoped_resources.h"

void KernelHandleTraits::Free(HANDLE handle) { CloseHandle(handle); }

void DeviceInfoSetTraits::Free(HDEVINFO set) { SetupDiDestroyDeviceInfoList(set); }

void PreparsedDataTraits::Free(PHIDP_PREPARSED_DATA data) { HidD_FreePreparsedData(data); }

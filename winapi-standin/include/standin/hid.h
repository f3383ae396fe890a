// hid.dll: attributes, strings and capabilities of an open HID device.
#pragma once

#include "standin/win_errors.h"
#include "standin/win_types.h"

using USAGE = USHORT;
using PHIDP_PREPARSED_DATA = struct _HIDP_PREPARSED_DATA*;

constexpr NTSTATUS HIDP_STATUS_SUCCESS = 0x00110000;
constexpr NTSTATUS HIDP_STATUS_INVALID_PREPARSED_DATA = static_cast<NTSTATUS>(0xC0110001);

struct HIDD_ATTRIBUTES {
  ULONG Size;
  USHORT VendorID;
  USHORT ProductID;
  USHORT VersionNumber;
};
using PHIDD_ATTRIBUTES = HIDD_ATTRIBUTES*;

struct HIDP_CAPS {
  USAGE Usage;
  USAGE UsagePage;
  USHORT InputReportByteLength;
  USHORT OutputReportByteLength;
  USHORT FeatureReportByteLength;
  USHORT Reserved[17];
  USHORT NumberLinkCollectionNodes;
  USHORT NumberInputButtonCaps;
  USHORT NumberInputValueCaps;
  USHORT NumberInputDataIndices;
  USHORT NumberOutputButtonCaps;
  USHORT NumberOutputValueCaps;
  USHORT NumberOutputDataIndices;
  USHORT NumberFeatureButtonCaps;
  USHORT NumberFeatureValueCaps;
  USHORT NumberFeatureDataIndices;
};
using PHIDP_CAPS = HIDP_CAPS*;

// The HID class driver's requests behind HidD_SetFeature, HidD_GetFeature,
// HidD_SetOutputReport and HidD_GetInputReport, which DeviceIoControl sends.
constexpr DWORD IOCTL_HID_SET_FEATURE = 0x000B0191;
constexpr DWORD IOCTL_HID_GET_FEATURE = 0x000B0192;
constexpr DWORD IOCTL_HID_SET_OUTPUT_REPORT = 0x000B0195;
constexpr DWORD IOCTL_HID_GET_INPUT_REPORT = 0x000B01A2;

extern "C" {

void WINAPI HidD_GetHidGuid(LPGUID HidGuid);
// Fills Size in; like Windows it does not insist on it beforehand.
BOOLEAN WINAPI HidD_GetAttributes(HANDLE HidDeviceObject, PHIDD_ATTRIBUTES Attributes);
// The string and its terminator, in UTF-16, if BufferLength bytes hold
// both; otherwise FALSE with ERROR_INSUFFICIENT_BUFFER and the buffer
// untouched.
BOOLEAN WINAPI HidD_GetProductString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength);
BOOLEAN WINAPI HidD_GetManufacturerString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength);
BOOLEAN WINAPI HidD_GetSerialNumberString(HANDLE HidDeviceObject, PVOID Buffer, ULONG BufferLength);
BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE HidDeviceObject, PHIDP_PREPARSED_DATA* PreparsedData);
BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA PreparsedData);
NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA PreparsedData, PHIDP_CAPS Capabilities);
// Reports over the control pipe and feature reports. Byte 0 of the buffer
// is the report ID, which the collection must declare (0 when it numbers
// none); an empty buffer is ERROR_INVALID_USER_BUFFER, a kind of report the
// collection lacks, a wrong ID or a buffer shorter than the kind's length
// ERROR_INVALID_PARAMETER (the Set functions take exactly that length).
// Feature reports work on any handle; input and output reports of a
// collection Windows keeps to itself are ERROR_ACCESS_DENIED.
BOOLEAN WINAPI HidD_GetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength);
BOOLEAN WINAPI HidD_SetFeature(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength);
// The device's current report of that ID: the last it sent, else zeros.
BOOLEAN WINAPI HidD_GetInputReport(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength);
BOOLEAN WINAPI HidD_SetOutputReport(HANDLE HidDeviceObject, PVOID ReportBuffer, ULONG ReportBufferLength);
// Between 2 and 512 unread reports, as Windows allows.
BOOLEAN WINAPI HidD_SetNumInputBuffers(HANDLE HidDeviceObject, ULONG NumberBuffers);
BOOLEAN WINAPI HidD_GetNumInputBuffers(HANDLE HidDeviceObject, PULONG NumberBuffers);

}  // extern "C"

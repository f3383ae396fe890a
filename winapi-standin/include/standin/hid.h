// hid.dll: attributes, strings and capabilities of an open HID device.
#pragma once

#include "standin/win_errors.h"
#include "standin/win_types.h"

using USAGE = USHORT;
using PHIDP_PREPARSED_DATA = struct _HIDP_PREPARSED_DATA*;

constexpr NTSTATUS HIDP_STATUS_SUCCESS = 0x00110000;
constexpr NTSTATUS HIDP_STATUS_INVALID_PREPARSED_DATA = static_cast<NTSTATUS>(0xC0110001);
constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_TYPE = static_cast<NTSTATUS>(0xC0110002);
constexpr NTSTATUS HIDP_STATUS_USAGE_NOT_FOUND = static_cast<NTSTATUS>(0xC0110004);
constexpr NTSTATUS HIDP_STATUS_BUFFER_TOO_SMALL = static_cast<NTSTATUS>(0xC0110007);
constexpr NTSTATUS HIDP_STATUS_NOT_IMPLEMENTED = static_cast<NTSTATUS>(0xC0110020);

enum HIDP_REPORT_TYPE { HidP_Input, HidP_Output, HidP_Feature };

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

// The usage or usage range a capability stands for, with its strings,
// designators and data indices.
struct HIDP_CAPS_RANGE {
  USAGE UsageMin;
  USAGE UsageMax;
  USHORT StringMin;
  USHORT StringMax;
  USHORT DesignatorMin;
  USHORT DesignatorMax;
  USHORT DataIndexMin;
  USHORT DataIndexMax;
};
struct HIDP_CAPS_NOT_RANGE {
  USAGE Usage;
  USAGE Reserved1;
  USHORT StringIndex;
  USHORT Reserved2;
  USHORT DesignatorIndex;
  USHORT Reserved3;
  USHORT DataIndex;
  USHORT Reserved4;
};

struct HIDP_BUTTON_CAPS {
  USAGE UsagePage;
  UCHAR ReportID;
  BOOLEAN IsAlias;
  USHORT BitField;
  USHORT LinkCollection;
  USAGE LinkUsage;
  USAGE LinkUsagePage;
  BOOLEAN IsRange;
  BOOLEAN IsStringRange;
  BOOLEAN IsDesignatorRange;
  BOOLEAN IsAbsolute;
  USHORT ReportCount;
  USHORT Reserved2;
  ULONG Reserved[9];
  union {
    HIDP_CAPS_RANGE Range;
    HIDP_CAPS_NOT_RANGE NotRange;
  };
};
using PHIDP_BUTTON_CAPS = HIDP_BUTTON_CAPS*;

struct HIDP_VALUE_CAPS {
  USAGE UsagePage;
  UCHAR ReportID;
  BOOLEAN IsAlias;
  USHORT BitField;
  USHORT LinkCollection;
  USAGE LinkUsage;
  USAGE LinkUsagePage;
  BOOLEAN IsRange;
  BOOLEAN IsStringRange;
  BOOLEAN IsDesignatorRange;
  BOOLEAN IsAbsolute;
  BOOLEAN HasNull;
  UCHAR Reserved;
  USHORT BitSize;
  USHORT ReportCount;
  USHORT Reserved2[5];
  ULONG UnitsExp;
  ULONG Units;
  LONG LogicalMin;
  LONG LogicalMax;
  LONG PhysicalMin;
  LONG PhysicalMax;
  union {
    HIDP_CAPS_RANGE Range;
    HIDP_CAPS_NOT_RANGE NotRange;
  };
};
using PHIDP_VALUE_CAPS = HIDP_VALUE_CAPS*;

static_assert(sizeof(HIDP_BUTTON_CAPS) == 72 && sizeof(HIDP_VALUE_CAPS) == 72, "laid out as in hidpi.h");

struct HIDP_LINK_COLLECTION_NODE {
  USAGE LinkUsage;
  USAGE LinkUsagePage;
  USHORT Parent;
  USHORT NumberOfChildren;
  USHORT NextSibling;
  USHORT FirstChild;
  ULONG CollectionType : 8;
  ULONG IsAlias : 1;
  ULONG Reserved : 23;
  PVOID UserContext;
};
using PHIDP_LINK_COLLECTION_NODE = HIDP_LINK_COLLECTION_NODE*;

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
// The capabilities of one kind of report, in the order Windows' parser
// lists them: as many as the caller's array holds, *Length set to how many
// were copied; HIDP_STATUS_BUFFER_TOO_SMALL when more would have matched,
// HIDP_STATUS_USAGE_NOT_FOUND when none does. The Specific forms keep only
// those of that usage page, link collection and usage (in a range), each
// 0 for any. A collection plugged from caps alone, without a report
// descriptor, has none to list: HIDP_STATUS_NOT_IMPLEMENTED.
NTSTATUS WINAPI HidP_GetButtonCaps(HIDP_REPORT_TYPE ReportType, PHIDP_BUTTON_CAPS ButtonCaps, PUSHORT ButtonCapsLength,
                                   PHIDP_PREPARSED_DATA PreparsedData);
NTSTATUS WINAPI HidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection,
                                           USAGE Usage, PHIDP_BUTTON_CAPS ButtonCaps, PUSHORT ButtonCapsLength,
                                           PHIDP_PREPARSED_DATA PreparsedData);
NTSTATUS WINAPI HidP_GetValueCaps(HIDP_REPORT_TYPE ReportType, PHIDP_VALUE_CAPS ValueCaps, PUSHORT ValueCapsLength,
                                  PHIDP_PREPARSED_DATA PreparsedData);
NTSTATUS WINAPI HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection,
                                          USAGE Usage, PHIDP_VALUE_CAPS ValueCaps, PUSHORT ValueCapsLength,
                                          PHIDP_PREPARSED_DATA PreparsedData);
// Every node or none: a short array is HIDP_STATUS_BUFFER_TOO_SMALL with
// *LinkCollectionNodesLength set to the number needed.
NTSTATUS WINAPI HidP_GetLinkCollectionNodes(PHIDP_LINK_COLLECTION_NODE LinkCollectionNodes,
                                            PULONG LinkCollectionNodesLength, PHIDP_PREPARSED_DATA PreparsedData);
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

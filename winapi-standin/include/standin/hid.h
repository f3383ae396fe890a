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
constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_LENGTH = static_cast<NTSTATUS>(0xC0110003);
constexpr NTSTATUS HIDP_STATUS_INCOMPATIBLE_REPORT_ID = static_cast<NTSTATUS>(0xC011000A);
constexpr NTSTATUS HIDP_STATUS_NOT_VALUE_ARRAY = static_cast<NTSTATUS>(0xC011000B);
constexpr NTSTATUS HIDP_STATUS_IS_VALUE_ARRAY = static_cast<NTSTATUS>(0xC011000C);
constexpr NTSTATUS HIDP_STATUS_BUTTON_NOT_PRESSED = static_cast<NTSTATUS>(0xC011000F);
constexpr NTSTATUS HIDP_STATUS_REPORT_DOES_NOT_EXIST = static_cast<NTSTATUS>(0xC0110010);
constexpr NTSTATUS HIDP_STATUS_NOT_IMPLEMENTED = static_cast<NTSTATUS>(0xC0110020);

enum HIDP_REPORT_TYPE { HidP_Input, HidP_Output, HidP_Feature };

struct USAGE_AND_PAGE {
  USAGE Usage;
  USAGE UsagePage;
};
using PUSAGE_AND_PAGE = USAGE_AND_PAGE*;
using PUSAGE = USAGE*;

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

// Reading and writing a report's controls by usage. Every one takes a
// report of exactly the kind's length (else HIDP_STATUS_INVALID_REPORT_LENGTH)
// whose byte 0 is its ID, and looks in the first capability that holds the
// usage (LinkCollection 0: in any link collection): a usage the kind has
// only in another report is HIDP_STATUS_INCOMPATIBLE_REPORT_ID, one it has
// nowhere HIDP_STATUS_USAGE_NOT_FOUND. The Set functions also refuse a
// report whose ID the kind lacks, HIDP_STATUS_REPORT_DOES_NOT_EXIST.
//
// Every button that is on, variable buttons and the usages array fields
// hold, in the order Windows lists the capabilities; *UsageLength becomes
// how many there are, and a short list HIDP_STATUS_BUFFER_TOO_SMALL.
NTSTATUS WINAPI HidP_GetUsagesEx(HIDP_REPORT_TYPE ReportType, USHORT LinkCollection, PUSAGE_AND_PAGE ButtonList,
                                 ULONG* UsageLength, PHIDP_PREPARSED_DATA PreparsedData, PCHAR Report,
                                 ULONG ReportLength);
// How many usages HidP_GetUsagesEx can answer at most for the page (0: any);
// 0 for data or a kind it cannot read.
ULONG WINAPI HidP_MaxUsageListLength(HIDP_REPORT_TYPE ReportType, USAGE UsagePage,
                                     PHIDP_PREPARSED_DATA PreparsedData);
// The field's bits as they are, unsigned and unscaled; a usage that names a
// value array is HIDP_STATUS_IS_VALUE_ARRAY.
NTSTATUS WINAPI HidP_GetUsageValue(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection, USAGE Usage,
                                   PULONG UsageValue, PHIDP_PREPARSED_DATA PreparsedData, PCHAR Report,
                                   ULONG ReportLength);
// Every field of a value array, packed as in the report from bit 0 of the
// buffer; HIDP_STATUS_NOT_VALUE_ARRAY for a single value,
// HIDP_STATUS_BUFFER_TOO_SMALL for a buffer shorter than the fields.
NTSTATUS WINAPI HidP_GetUsageValueArray(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection,
                                        USAGE Usage, PCHAR UsageValue, USHORT UsageValueByteLength,
                                        PHIDP_PREPARSED_DATA PreparsedData, PCHAR Report, ULONG ReportLength);
NTSTATUS WINAPI HidP_SetUsageValue(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection, USAGE Usage,
                                   ULONG UsageValue, PHIDP_PREPARSED_DATA PreparsedData, PCHAR Report,
                                   ULONG ReportLength);
// Turns the buttons on: a variable button's bit, or an array field's first
// empty slot (HIDP_STATUS_BUFFER_TOO_SMALL when every slot is taken). On
// failure *UsageLength is the index of the usage that failed.
NTSTATUS WINAPI HidP_SetUsages(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection, PUSAGE UsageList,
                               PULONG UsageLength, PHIDP_PREPARSED_DATA PreparsedData, PCHAR Report,
                               ULONG ReportLength);
// Turns them off; an array usage that no slot holds is
// HIDP_STATUS_BUTTON_NOT_PRESSED.
NTSTATUS WINAPI HidP_UnsetUsages(HIDP_REPORT_TYPE ReportType, USAGE UsagePage, USHORT LinkCollection,
                                 PUSAGE UsageList, PULONG UsageLength, PHIDP_PREPARSED_DATA PreparsedData,
                                 PCHAR Report, ULONG ReportLength);
// Zeros, the ID in byte 0, and every value that has a null state at its
// null value; an ID the kind lacks is HIDP_STATUS_REPORT_DOES_NOT_EXIST.
NTSTATUS WINAPI HidP_InitializeReportForID(HIDP_REPORT_TYPE ReportType, UCHAR ReportID,
                                           PHIDP_PREPARSED_DATA PreparsedData, PCHAR Report, ULONG ReportLength);

}  // extern "C"

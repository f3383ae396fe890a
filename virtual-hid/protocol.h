/* The private requests by which tests drive a virtual device, shared by the
 * driver (C) and the control library (C++). They are sent with
 * DeviceIoControl on a handle to the device's HID path. Reports travel as
 * applications see them: the report ID first, 0 for a device that does not
 * number its reports. */
#pragma once

#define VHID_IOCTL(n) CTL_CODE(FILE_DEVICE_UNKNOWN, 0x900 + (n), METHOD_BUFFERED, FILE_ANY_ACCESS)

/* In: an input report. The device sends it, and answers GET_INPUT_REPORT for
 * its ID with it from now on. */
#define IOCTL_VHID_PUSH_INPUT VHID_IOCTL(0)
/* Out: the oldest report the device received and not yet handed out, after
 * one byte of enum vhid_arrival; nothing when there is none, or once
 * STATUS_DATA_OVERRUN if the log was full when reports came. */
#define IOCTL_VHID_POP_RECEIVED VHID_IOCTL(1)
/* In: a feature report, the answer to GET_FEATURE for its ID until a
 * SET_FEATURE for that ID replaces it. */
#define IOCTL_VHID_PRESET_FEATURE VHID_IOCTL(2)
/* Output and feature requests and GET_INPUT_REPORT wait from STALL until
 * UNSTALL, which lets them through in the order they came. */
#define IOCTL_VHID_STALL VHID_IOCTL(3)
#define IOCTL_VHID_UNSTALL VHID_IOCTL(4)

/* How a received report came to the device. */
enum vhid_arrival {
  VHID_INTERRUPT_WRITE = 1, /* WriteFile: the interrupt OUT pipe */
  VHID_OUTPUT_REPORT = 2,   /* HidD_SetOutputReport: SET_REPORT on the control pipe */
  VHID_SET_FEATURE = 3      /* HidD_SetFeature */
};

/* The longest report, its ID byte included, and the longest descriptor and
 * string that a device takes. */
#define VHID_MAX_REPORT 256
#define VHID_MAX_DESCRIPTOR 1024
#define VHID_MAX_STRING 127

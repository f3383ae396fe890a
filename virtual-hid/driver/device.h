/* One virtual device: its configuration, the reports it holds and the
 * requests it keeps waiting. It lives in the minidriver part of the
 * extension of the device object that hidclass makes for it. */
#pragma once

#include "hidport.h"
#include "irp_queue.h"
#include "../protocol.h"

struct stored_report {
  UCHAR how; /* enum vhid_arrival, for a received report */
  USHORT length;
  UCHAR bytes[VHID_MAX_REPORT]; /* the report ID first, 0 if unnumbered */
};

/* Enough for any burst a test sends between two reads; a full ring refuses
 * more rather than lose reports silently. */
#define VHID_RING_SIZE 64
/* Report IDs per kind that a device remembers (features, last inputs). */
#define VHID_ID_SLOTS 16

struct report_ring {
  ULONG first, count;
  struct stored_report slots[VHID_RING_SIZE];
};

struct report_table {
  ULONG count;
  struct stored_report slots[VHID_ID_SLOTS];
};

enum { VHID_MANUFACTURER, VHID_PRODUCT, VHID_SERIAL_NUMBER, VHID_STRING_COUNT };

struct vhid_device {
  /* Owned by the driver's device list (driver.c). */
  LIST_ENTRY link;
  LONG users;
  BOOLEAN unlisted;
  KEVENT unused;

  DEVICE_OBJECT *fdo;
  HID_DEVICE_ATTRIBUTES attributes;
  ULONG descriptor_length;
  UCHAR descriptor[VHID_MAX_DESCRIPTOR];
  WCHAR strings[VHID_STRING_COUNT][VHID_MAX_STRING + 1];

  struct irp_queue reads; /* hidclass's READ_REPORT, waiting for input */
  struct irp_queue held;  /* requests waiting for UNSTALL */

  KSPIN_LOCK lock; /* guards what follows */
  BOOLEAN removed;
  BOOLEAN stalled;
  BOOLEAN received_lost;
  struct report_ring input;
  struct report_ring received;
  struct report_table last_input;
  struct report_table features;
};

/* config.c */
void vhid_read_configuration(struct vhid_device *device, DEVICE_OBJECT *pdo);

/* reports.c */
void report_from_bytes(struct stored_report *report, UCHAR how, const UCHAR *bytes, ULONG length);
void report_from_packet(struct stored_report *report, UCHAR how, const HID_XFER_PACKET *packet);
ULONG report_to_device_buffer(const struct stored_report *report, UCHAR *buffer, ULONG capacity);
BOOLEAN ring_push(struct report_ring *ring, const struct stored_report *report);
BOOLEAN ring_pop(struct report_ring *ring, struct stored_report *report);
BOOLEAN table_put(struct report_table *table, const struct stored_report *report);
struct stored_report *table_find(struct report_table *table, UCHAR id);

/* minidriver.c: what hidclass asks of the device. Completes the request
 * unless it returns STATUS_PENDING. */
NTSTATUS vhid_minidriver_request(struct vhid_device *device, IRP *irp);
/* Answers hidclass's read with an input report. */
void vhid_complete_read(IRP *irp, const struct stored_report *report);
/* Ends the reads hidclass keeps waiting, for good. */
void vhid_device_removed(struct vhid_device *device);

/* test_channel.c: push, pop and preset. Completes the request. */
NTSTATUS vhid_test_request(struct vhid_device *device, IRP *irp);

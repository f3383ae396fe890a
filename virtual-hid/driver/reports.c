/* Reports as the device keeps them: whole, ID first, the way applications
 * write and read them. hidclass leaves the ID out of the buffers of
 * unnumbered reports, so it is added and dropped at that border. */
#include "device.h"

void report_from_bytes(struct stored_report *report, UCHAR how, const UCHAR *bytes, ULONG length) {
  if (length > VHID_MAX_REPORT) length = VHID_MAX_REPORT;
  report->how = how;
  report->length = (USHORT)length;
  memcpy(report->bytes, bytes, length);
}

void report_from_packet(struct stored_report *report, UCHAR how, const HID_XFER_PACKET *packet) {
  ULONG length = packet->reportBufferLen;
  ULONG offset = packet->reportId ? 0 : 1;
  if (length > VHID_MAX_REPORT - offset) length = VHID_MAX_REPORT - offset;
  report->how = how;
  report->bytes[0] = packet->reportId;
  memcpy(report->bytes + offset, packet->reportBuffer, length);
  report->length = (USHORT)(length + offset);
}

ULONG report_to_device_buffer(const struct stored_report *report, UCHAR *buffer, ULONG capacity) {
  ULONG offset = report->bytes[0] ? 0 : 1;
  ULONG length = report->length > offset ? report->length - offset : 0;
  if (length > capacity) length = capacity;
  memcpy(buffer, report->bytes + offset, length);
  return length;
}

BOOLEAN ring_push(struct report_ring *ring, const struct stored_report *report) {
  if (ring->count == VHID_RING_SIZE) return FALSE;
  ring->slots[(ring->first + ring->count++) % VHID_RING_SIZE] = *report;
  return TRUE;
}

BOOLEAN ring_pop(struct report_ring *ring, struct stored_report *report) {
  if (!ring->count) return FALSE;
  *report = ring->slots[ring->first];
  ring->first = (ring->first + 1) % VHID_RING_SIZE;
  ring->count--;
  return TRUE;
}

struct stored_report *table_find(struct report_table *table, UCHAR id) {
  ULONG i;
  for (i = 0; i < table->count; i++)
    if (table->slots[i].bytes[0] == id) return &table->slots[i];
  return NULL;
}

BOOLEAN table_put(struct report_table *table, const struct stored_report *report) {
  struct stored_report *slot = table_find(table, report->bytes[0]);
  if (!slot) {
    if (table->count == VHID_ID_SLOTS) return FALSE;
    slot = &table->slots[table->count++];
  }
  *slot = *report;
  return TRUE;
}

/* The device as hidclass sees it: descriptors, strings, input reports on the
 * interrupt IN pipe, and the reports it receives. hidclass passes buffers
 * and transfer packets at Irp->UserBuffer. */
#include "device.h"

static NTSTATUS copy_out(IRP *irp, const void *data, ULONG length) {
  if (IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.OutputBufferLength < length)
    return STATUS_BUFFER_TOO_SMALL;
  memcpy(irp->UserBuffer, data, length);
  irp->IoStatus.Information = length;
  return STATUS_SUCCESS;
}

static NTSTATUS hid_descriptor(struct vhid_device *device, IRP *irp) {
  HID_DESCRIPTOR descriptor = {sizeof descriptor, HID_HID_DESCRIPTOR_TYPE, 0x0111, 0, 1,
                               {{HID_REPORT_DESCRIPTOR_TYPE, (USHORT)device->descriptor_length}}};
  return copy_out(irp, &descriptor, sizeof descriptor);
}

static NTSTATUS string(struct vhid_device *device, IRP *irp) {
  ULONG id = (ULONG)(ULONG_PTR)IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.Type3InputBuffer;
  const WCHAR *text;
  ULONG length = 0;
  switch (id & 0xFFFF) {
    case HID_STRING_ID_IMANUFACTURER: text = device->strings[VHID_MANUFACTURER]; break;
    case HID_STRING_ID_IPRODUCT: text = device->strings[VHID_PRODUCT]; break;
    case HID_STRING_ID_ISERIALNUMBER: text = device->strings[VHID_SERIAL_NUMBER]; break;
    default: return STATUS_INVALID_PARAMETER;
  }
  /* A device without the string has no index for it: the request fails. */
  if (!text[0]) return STATUS_INVALID_PARAMETER;
  while (text[length]) length++;
  return copy_out(irp, text, (length + 1) * sizeof(WCHAR));
}

void vhid_complete_read(IRP *irp, const struct stored_report *report) {
  ULONG capacity = IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.OutputBufferLength;
  irp->IoStatus.Information = report_to_device_buffer(report, irp->UserBuffer, capacity);
  irp->IoStatus.Status = STATUS_SUCCESS;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
}

/* hidclass keeps one read waiting at all times and reads again at once when
 * it ends: failing it would make hidclass spin. */
static NTSTATUS read_report(struct vhid_device *device, IRP *irp) {
  struct stored_report report;
  NTSTATUS status;
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  if (device->removed)
    status = STATUS_DELETE_PENDING;
  else if (ring_pop(&device->input, &report))
    status = STATUS_SUCCESS;
  else
    status = irp_queue_push(&device->reads, irp);
  KeReleaseSpinLock(&device->lock, irql);
  if (status == STATUS_SUCCESS) {
    vhid_complete_read(irp, &report);
    return status;
  }
  if (status != STATUS_PENDING) {
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
  }
  return status;
}

static NTSTATUS receive(struct vhid_device *device, IRP *irp, UCHAR how) {
  const HID_XFER_PACKET *packet = irp->UserBuffer;
  struct stored_report report;
  KIRQL irql;
  report_from_packet(&report, how, packet);
  KeAcquireSpinLock(&device->lock, &irql);
  if (!ring_push(&device->received, &report)) device->received_lost = TRUE;
  if (how == VHID_SET_FEATURE) table_put(&device->features, &report);
  KeReleaseSpinLock(&device->lock, irql);
  /* What went over the wire, the ID byte included, as Wine's own HID
   * drivers count. */
  irp->IoStatus.Information = report.length;
  return STATUS_SUCCESS;
}

/* GET_REPORT answers with what the device holds for the ID; a report it has
 * never had reads as zeros, as a device at rest answers. */
static NTSTATUS answer(struct vhid_device *device, IRP *irp, struct report_table *table) {
  HID_XFER_PACKET *packet = irp->UserBuffer;
  struct stored_report report;
  const struct stored_report *held;
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  held = table_find(table, packet->reportId);
  if (held) report = *held;
  KeReleaseSpinLock(&device->lock, irql);
  if (!held) {
    memset(report.bytes, 0, sizeof report.bytes);
    report.bytes[0] = packet->reportId;
    report.length = (USHORT)(packet->reportBufferLen + (packet->reportId ? 0 : 1));
    if (report.length > VHID_MAX_REPORT) report.length = VHID_MAX_REPORT;
  }
  irp->IoStatus.Information = report_to_device_buffer(&report, packet->reportBuffer, packet->reportBufferLen);
  return STATUS_SUCCESS;
}

NTSTATUS vhid_minidriver_request(struct vhid_device *device, IRP *irp) {
  NTSTATUS status;
  irp->IoStatus.Information = 0;
  switch (IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_READ_REPORT: return read_report(device, irp);
    case IOCTL_HID_GET_DEVICE_DESCRIPTOR: status = hid_descriptor(device, irp); break;
    case IOCTL_HID_GET_REPORT_DESCRIPTOR:
      status = copy_out(irp, device->descriptor, device->descriptor_length);
      break;
    case IOCTL_HID_GET_DEVICE_ATTRIBUTES:
      status = copy_out(irp, &device->attributes, sizeof device->attributes);
      break;
    case IOCTL_HID_GET_STRING: status = string(device, irp); break;
    case IOCTL_HID_ACTIVATE_DEVICE:
    case IOCTL_HID_DEACTIVATE_DEVICE: status = STATUS_SUCCESS; break;
    case IOCTL_HID_WRITE_REPORT: status = receive(device, irp, VHID_INTERRUPT_WRITE); break;
    case IOCTL_HID_SET_OUTPUT_REPORT: status = receive(device, irp, VHID_OUTPUT_REPORT); break;
    case IOCTL_HID_SET_FEATURE: status = receive(device, irp, VHID_SET_FEATURE); break;
    case IOCTL_HID_GET_FEATURE: status = answer(device, irp, &device->features); break;
    case IOCTL_HID_GET_INPUT_REPORT: status = answer(device, irp, &device->last_input); break;
    default: status = STATUS_NOT_SUPPORTED; break;
  }
  irp->IoStatus.Status = status;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

void vhid_device_removed(struct vhid_device *device) {
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  device->removed = TRUE;
  KeReleaseSpinLock(&device->lock, irql);
  irp_queue_flush(&device->reads, STATUS_DELETE_PENDING);
  irp_queue_flush(&device->held, STATUS_DELETE_PENDING);
}

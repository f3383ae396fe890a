/* What a test does to the device through the private requests: make it
 * send input, read back what it received, set its feature reports. */
#include "device.h"

static NTSTATUS push_input(struct vhid_device *device, const struct stored_report *report) {
  NTSTATUS status = STATUS_SUCCESS;
  IRP *read = NULL;
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  if (device->removed)
    status = STATUS_DELETE_PENDING;
  else if (!table_put(&device->last_input, report))
    status = STATUS_INSUFFICIENT_RESOURCES;
  else if (!(read = irp_queue_pop(&device->reads)) && !ring_push(&device->input, report))
    status = STATUS_DEVICE_BUSY;
  KeReleaseSpinLock(&device->lock, irql);
  if (read) vhid_complete_read(read, report);
  return status;
}

static NTSTATUS preset_feature(struct vhid_device *device, const struct stored_report *report) {
  NTSTATUS status = STATUS_SUCCESS;
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  if (!table_put(&device->features, report)) status = STATUS_INSUFFICIENT_RESOURCES;
  KeReleaseSpinLock(&device->lock, irql);
  return status;
}

/* One byte of enum vhid_arrival, then the report; once the log is empty,
 * STATUS_DATA_OVERRUN if reports were lost to a full log since. */
static NTSTATUS pop_received(struct vhid_device *device, IRP *irp, ULONG capacity) {
  UCHAR *out = irp->AssociatedIrp.SystemBuffer;
  struct stored_report report;
  NTSTATUS status = STATUS_SUCCESS;
  BOOLEAN popped = FALSE;
  KIRQL irql;
  if (capacity < 1 + VHID_MAX_REPORT) return STATUS_BUFFER_TOO_SMALL;
  KeAcquireSpinLock(&device->lock, &irql);
  popped = ring_pop(&device->received, &report);
  if (!popped && device->received_lost) {
    device->received_lost = FALSE;
    status = STATUS_DATA_OVERRUN;
  }
  KeReleaseSpinLock(&device->lock, irql);
  if (popped) {
    out[0] = report.how;
    memcpy(out + 1, report.bytes, report.length);
    irp->IoStatus.Information = 1u + report.length;
  }
  return status;
}

NTSTATUS vhid_test_request(struct vhid_device *device, IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  ULONG in_length = stack->Parameters.DeviceIoControl.InputBufferLength;
  struct stored_report report;
  NTSTATUS status;
  irp->IoStatus.Information = 0;
  switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_VHID_PUSH_INPUT:
    case IOCTL_VHID_PRESET_FEATURE:
      if (in_length < 1 || in_length > VHID_MAX_REPORT) {
        status = STATUS_INVALID_PARAMETER;
        break;
      }
      report_from_bytes(&report, 0, irp->AssociatedIrp.SystemBuffer, in_length);
      status = stack->Parameters.DeviceIoControl.IoControlCode == IOCTL_VHID_PUSH_INPUT
                   ? push_input(device, &report)
                   : preset_feature(device, &report);
      break;
    case IOCTL_VHID_POP_RECEIVED:
      status = pop_received(device, irp, stack->Parameters.DeviceIoControl.OutputBufferLength);
      break;
    default: status = STATUS_INVALID_DEVICE_REQUEST; break;
  }
  irp->IoStatus.Status = status;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

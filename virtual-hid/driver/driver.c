/* hbvhid.sys: a HID minidriver for devices that exist only for tests.
 *
 * hidclass owns the driver's dispatch table once the driver registers with
 * it, and gives the minidriver its PnP, power and internal requests. The HID
 * collection that hidclass creates for a device belongs to this driver too,
 * so the driver puts itself in front of hidclass for two things on it: the
 * private requests of tests, and holding requests while a test stalls the
 * device. */
#include "device.h"

static PDRIVER_DISPATCH hidclass_write;
static PDRIVER_DISPATCH hidclass_control;

/* The devices alive, so that a request to a collection finds its device
 * only while the device exists. */
static KSPIN_LOCK devices_lock;
static LIST_ENTRY devices;

static struct vhid_device *device_of_fdo(DEVICE_OBJECT *fdo) {
  return ((HID_DEVICE_EXTENSION *)fdo->DeviceExtension)->MiniDeviceExtension;
}

/* The listed device that hidclass made `fdo` for, or NULL. */
static struct vhid_device *listed_device(DEVICE_OBJECT *fdo) {
  LIST_ENTRY *entry;
  for (entry = devices.Flink; entry != &devices; entry = entry->Flink) {
    struct vhid_device *device = CONTAINING_RECORD(entry, struct vhid_device, link);
    if (device->fdo == fdo) return device;
  }
  return NULL;
}

static BOOLEAN is_device_fdo(DEVICE_OBJECT *device) {
  BOOLEAN listed;
  KIRQL irql;
  KeAcquireSpinLock(&devices_lock, &irql);
  listed = listed_device(device) != NULL;
  KeReleaseSpinLock(&devices_lock, irql);
  return listed;
}

/* Wine's hidclass starts a collection's extension with its parent device;
 * checking that against the list makes no other layout mistaken for it.
 * The caller gives the device back with release_device. */
static struct vhid_device *acquire_device_of_collection(DEVICE_OBJECT *collection) {
  DEVICE_OBJECT *parent = collection->DeviceExtension ? *(DEVICE_OBJECT **)collection->DeviceExtension : NULL;
  struct vhid_device *device;
  KIRQL irql;
  KeAcquireSpinLock(&devices_lock, &irql);
  if ((device = listed_device(parent))) device->users++;
  KeReleaseSpinLock(&devices_lock, irql);
  return device;
}

static void release_device(struct vhid_device *device) {
  KIRQL irql;
  KeAcquireSpinLock(&devices_lock, &irql);
  if (--device->users == 0 && device->unlisted) KeSetEvent(&device->unused, IO_NO_INCREMENT, FALSE);
  KeReleaseSpinLock(&devices_lock, irql);
}

/* hidclass frees the device after REMOVE: no request may still use it. */
static void unlist_device(struct vhid_device *device) {
  BOOLEAN in_use;
  KIRQL irql;
  KeAcquireSpinLock(&devices_lock, &irql);
  RemoveEntryList(&device->link);
  device->unlisted = TRUE;
  in_use = device->users > 0;
  KeReleaseSpinLock(&devices_lock, irql);
  if (in_use) KeWaitForSingleObject(&device->unused, Executive, KernelMode, FALSE, NULL);
}

static NTSTATUS NTAPI add_device(DRIVER_OBJECT *driver, DEVICE_OBJECT *fdo) {
  struct vhid_device *device = device_of_fdo(fdo);
  KIRQL irql;
  (void)driver;
  RtlZeroMemory(device, sizeof *device);
  device->fdo = fdo;
  KeInitializeEvent(&device->unused, NotificationEvent, FALSE);
  KeInitializeSpinLock(&device->lock);
  irp_queue_init(&device->reads);
  irp_queue_init(&device->held);
  vhid_read_configuration(device, ((HID_DEVICE_EXTENSION *)fdo->DeviceExtension)->PhysicalDeviceObject);
  KeAcquireSpinLock(&devices_lock, &irql);
  InsertTailList(&devices, &device->link);
  KeReleaseSpinLock(&devices_lock, irql);
  fdo->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}

/* hidclass passes on only the PnP requests of the device, not those of its
 * collection. */
static NTSTATUS NTAPI dispatch_pnp(DEVICE_OBJECT *fdo, IRP *irp) {
  struct vhid_device *device = device_of_fdo(fdo);
  switch (IoGetCurrentIrpStackLocation(irp)->MinorFunction) {
    case IRP_MN_SURPRISE_REMOVAL:
      vhid_device_removed(device);
      irp->IoStatus.Status = STATUS_SUCCESS;
      break;
    case IRP_MN_REMOVE_DEVICE:
      vhid_device_removed(device);
      unlist_device(device);
      irp->IoStatus.Status = STATUS_SUCCESS;
      break;
    case IRP_MN_START_DEVICE:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_STOP_DEVICE: irp->IoStatus.Status = STATUS_SUCCESS; break;
    default: break;
  }
  IoSkipCurrentIrpStackLocation(irp);
  return IoCallDriver(((HID_DEVICE_EXTENSION *)fdo->DeviceExtension)->NextDeviceObject, irp);
}

/* Power requests of the collection come here too; it has nothing below. */
static NTSTATUS NTAPI dispatch_power(DEVICE_OBJECT *device, IRP *irp) {
  NTSTATUS status = irp->IoStatus.Status;
  PoStartNextPowerIrp(irp);
  if (is_device_fdo(device)) {
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(((HID_DEVICE_EXTENSION *)device->DeviceExtension)->NextDeviceObject, irp);
  }
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS NTAPI dispatch_minidriver_request(DEVICE_OBJECT *fdo, IRP *irp) {
  return vhid_minidriver_request(device_of_fdo(fdo), irp);
}

/* Wine's hidclass sends the minidriver a request of its own for each one it
 * gets and does not pass cancellation on, so a held request waits here, in
 * front of hidclass, where its caller can still cancel it. (Windows' hidclass
 * hands the caller's request itself down.) */
static BOOLEAN is_held_when_stalled(IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  if (stack->MajorFunction == IRP_MJ_WRITE) return TRUE;
  switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_HID_SET_OUTPUT_REPORT:
    case IOCTL_HID_SET_FEATURE:
    case IOCTL_HID_GET_FEATURE:
    case IOCTL_HID_GET_INPUT_REPORT: return TRUE;
    default: return FALSE;
  }
}

static NTSTATUS pass_to_hidclass(DEVICE_OBJECT *collection, IRP *irp) {
  if (IoGetCurrentIrpStackLocation(irp)->MajorFunction == IRP_MJ_WRITE) return hidclass_write(collection, irp);
  return hidclass_control(collection, irp);
}

static void stall(struct vhid_device *device) {
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  device->stalled = TRUE;
  KeReleaseSpinLock(&device->lock, irql);
}

/* The device stays stalled until it has let every held request through, so
 * that one arriving meanwhile queues behind them. */
static void unstall(struct vhid_device *device) {
  IRP *irp;
  do {
    KIRQL irql;
    KeAcquireSpinLock(&device->lock, &irql);
    irp = irp_queue_pop(&device->held);
    if (!irp) device->stalled = FALSE;
    KeReleaseSpinLock(&device->lock, irql);
    if (irp) pass_to_hidclass(IoGetCurrentIrpStackLocation(irp)->DeviceObject, irp);
  } while (irp);
}

/* STATUS_PENDING when held, STATUS_CANCELLED when completed as cancelled,
 * STATUS_SUCCESS when it may go on. */
static NTSTATUS hold_if_stalled(struct vhid_device *device, IRP *irp) {
  NTSTATUS status = STATUS_SUCCESS;
  KIRQL irql;
  KeAcquireSpinLock(&device->lock, &irql);
  if (device->stalled && !device->removed) status = irp_queue_push(&device->held, irp);
  KeReleaseSpinLock(&device->lock, irql);
  if (status == STATUS_CANCELLED) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
  }
  return status;
}

static NTSTATUS test_request(struct vhid_device *device, IRP *irp) {
  switch (IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_VHID_STALL: stall(device); break;
    case IOCTL_VHID_UNSTALL: unstall(device); break;
    default: return vhid_test_request(device, irp);
  }
  irp->IoStatus.Status = STATUS_SUCCESS;
  irp->IoStatus.Information = 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return STATUS_SUCCESS;
}

static BOOLEAN is_test_request(IRP *irp) {
  IO_STACK_LOCATION *stack = IoGetCurrentIrpStackLocation(irp);
  return stack->MajorFunction == IRP_MJ_DEVICE_CONTROL &&
         DEVICE_TYPE_FROM_CTL_CODE(stack->Parameters.DeviceIoControl.IoControlCode) == FILE_DEVICE_UNKNOWN;
}

/* WRITE and DEVICE_CONTROL of the collection (and of the device, which
 * nobody opens). */
static NTSTATUS NTAPI dispatch_collection(DEVICE_OBJECT *collection, IRP *irp) {
  BOOLEAN test = is_test_request(irp);
  struct vhid_device *device;
  NTSTATUS status;
  if (!test && !is_held_when_stalled(irp)) return pass_to_hidclass(collection, irp);
  if (!(device = acquire_device_of_collection(collection))) {
    if (!test) return pass_to_hidclass(collection, irp);
    irp->IoStatus.Status = STATUS_NO_SUCH_DEVICE;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return STATUS_NO_SUCH_DEVICE;
  }
  if (test)
    status = test_request(device, irp);
  else if ((status = hold_if_stalled(device, irp)) == STATUS_SUCCESS)
    status = pass_to_hidclass(collection, irp);
  release_device(device);
  return status;
}

static void NTAPI unload(DRIVER_OBJECT *driver) { (void)driver; }

NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT *driver, UNICODE_STRING *registry_path) {
  HID_MINIDRIVER_REGISTRATION registration = {HID_REVISION, driver, registry_path, sizeof(struct vhid_device),
                                              FALSE, {0}};
  NTSTATUS status;
  KeInitializeSpinLock(&devices_lock);
  InitializeListHead(&devices);
  driver->MajorFunction[IRP_MJ_PNP] = dispatch_pnp;
  driver->MajorFunction[IRP_MJ_POWER] = dispatch_power;
  driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatch_minidriver_request;
  driver->DriverExtension->AddDevice = add_device;
  driver->DriverUnload = unload;
  if (!NT_SUCCESS(status = HidRegisterMinidriver(&registration))) return status;
  hidclass_write = driver->MajorFunction[IRP_MJ_WRITE];
  hidclass_control = driver->MajorFunction[IRP_MJ_DEVICE_CONTROL];
  driver->MajorFunction[IRP_MJ_WRITE] = dispatch_collection;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch_collection;
  return STATUS_SUCCESS;
}

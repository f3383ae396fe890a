#include "irp_queue.h"

static void NTAPI cancel_held(DEVICE_OBJECT *device, IRP *irp) {
  struct irp_queue *queue = irp->Tail.Overlay.DriverContext[0];
  KIRQL irql;
  (void)device;
  IoReleaseCancelSpinLock(irp->CancelIrql);
  KeAcquireSpinLock(&queue->lock, &irql);
  RemoveEntryList(&irp->Tail.Overlay.ListEntry);
  KeReleaseSpinLock(&queue->lock, irql);
  irp->IoStatus.Status = STATUS_CANCELLED;
  irp->IoStatus.Information = 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
}

void irp_queue_init(struct irp_queue *queue) {
  KeInitializeSpinLock(&queue->lock);
  InitializeListHead(&queue->irps);
}

NTSTATUS irp_queue_push(struct irp_queue *queue, IRP *irp) {
  KIRQL irql;
  KeAcquireSpinLock(&queue->lock, &irql);
  irp->Tail.Overlay.DriverContext[0] = queue;
  IoSetCancelRoutine(irp, cancel_held);
  /* Cancelled before the routine was in place: nobody will call it. If it
   * was taken already, it runs once we let go of the lock and expects the
   * request in the list. */
  if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) {
    KeReleaseSpinLock(&queue->lock, irql);
    return STATUS_CANCELLED;
  }
  IoMarkIrpPending(irp);
  InsertTailList(&queue->irps, &irp->Tail.Overlay.ListEntry);
  KeReleaseSpinLock(&queue->lock, irql);
  return STATUS_PENDING;
}

IRP *irp_queue_pop(struct irp_queue *queue) {
  IRP *irp = NULL;
  KIRQL irql;
  KeAcquireSpinLock(&queue->lock, &irql);
  while (!irp && !IsListEmpty(&queue->irps)) {
    LIST_ENTRY *entry = RemoveHeadList(&queue->irps);
    irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
    if (!IoSetCancelRoutine(irp, NULL)) {
      /* Its cancel routine is on its way and will unlink it: give it a
       * list of its own to leave. */
      InitializeListHead(entry);
      irp = NULL;
    }
  }
  KeReleaseSpinLock(&queue->lock, irql);
  return irp;
}

void irp_queue_flush(struct irp_queue *queue, NTSTATUS status) {
  IRP *irp;
  while ((irp = irp_queue_pop(queue))) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
  }
}

/* Requests a device holds until it can answer them. Whoever asked may cancel
 * a held request at any time, so taking one out races with its cancel
 * routine: the queue settles the race, and a request leaves it exactly once,
 * either by irp_queue_pop or cancelled. */
#pragma once

#include <ntddk.h>

struct irp_queue {
  KSPIN_LOCK lock;
  LIST_ENTRY irps;
};

void irp_queue_init(struct irp_queue *queue);
/* STATUS_PENDING: the queue holds the request, marked pending. Otherwise
 * (STATUS_CANCELLED) the caller completes it with that status. */
NTSTATUS irp_queue_push(struct irp_queue *queue, IRP *irp);
/* The oldest request still held, no longer cancellable, or NULL. */
IRP *irp_queue_pop(struct irp_queue *queue);
/* Completes every held request with `status`. */
void irp_queue_flush(struct irp_queue *queue, NTSTATUS status);

// The one lock behind every kernel object, device and wait. One lock keeps
// wait-all atomic and completions ordered without lock hierarchies; the
// stand-in serves tests, where simplicity beats throughput.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "standin/win_types.h"

namespace standin::detail {

enum class ObjectKind { Event, Thread, File, DeviceInfoSet, PreparsedData };
const char* KindName(ObjectKind kind);

struct KernelObject {
  explicit KernelObject(ObjectKind objectKind) : kind(objectKind) {}
  virtual ~KernelObject() = default;
  const ObjectKind kind;
};

using KernelLock = std::unique_lock<std::mutex>;

struct Kernel {
  std::mutex mutex;
  // Notified on every change a waiter may be waiting for.
  std::condition_variable changed;
  // Threads in GetOverlappedResult waiting for an operation to end.
  int overlappedWaiters = 0;
  // The objects of the waits that rest (see waits.cpp), one entry per wait,
  // and how often rests were ended early: a rest that sees it change times
  // out.
  std::vector<const KernelObject*> restingWaits;
  std::uint64_t restEndings = 0;
  // Threads blocked in a synchronous read or write or in GetOverlappedResult
  // (the waits count themselves in waits.cpp).
  int blockedThreads = 0;
  std::map<std::uintptr_t, std::shared_ptr<KernelObject>> handles;
  // Handle values are never reused, so a stale handle fails rather than
  // reaching a newer object.
  std::uintptr_t nextHandle = 4;
};

Kernel& TheKernel();
KernelLock LockKernel();

// With the kernel locked:
HANDLE AddHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> FindHandle(HANDLE handle);
bool RemoveHandle(HANDLE handle);

// With the kernel locked: blocks until `done`, counted meanwhile among the
// blocked threads.
template <class Done>
void BlockUntil(KernelLock& lock, Done done) {
  ++TheKernel().blockedThreads;
  TheKernel().changed.wait(lock, done);
  --TheKernel().blockedThreads;
}

template <class T>
std::shared_ptr<T> Find(HANDLE handle) {
  auto object = FindHandle(handle);
  if (!object || object->kind != T::kKind) return nullptr;
  return std::static_pointer_cast<T>(object);
}

}  // namespace standin::detail

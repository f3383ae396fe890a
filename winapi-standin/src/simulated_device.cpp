#include "simulated_device.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "ntstatus.h"
#include "waitable.h"

namespace standin::detail {

namespace {
bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}
}  // namespace

NTSTATUS SimulatedDevice::RemovalStatus() const {
  return traits.removalDeniesAccess ? STATUS_DELETE_PENDING : STATUS_DEVICE_NOT_CONNECTED;
}

DWORD SimulatedDevice::RemovalError() const { return ErrorFromStatus(RemovalStatus()); }

bool DeclaresReportId(const std::vector<std::uint8_t>& ids, std::uint8_t id) {
  return ids.empty() ? id == 0 : std::find(ids.begin(), ids.end(), id) != ids.end();
}

Bus& TheBus() {
  static Bus* bus = new Bus;  // never destroyed: detached threads may outlive main
  return *bus;
}

std::shared_ptr<SimulatedDevice> FindPresentDevice(const std::string& path) {
  for (const auto& [id, device] : TheBus().devices)
    if (device->connected && SameTextIgnoringCase(device->path, path)) return device;
  return nullptr;
}

void CompleteOverlapped(OVERLAPPED& overlapped, NTSTATUS status, DWORD bytes) {
  overlapped.Internal = static_cast<ULONG_PTR>(static_cast<DWORD>(status));
  overlapped.InternalHigh = bytes;
  SignalEventHandle(overlapped.hEvent);
  if (TheKernel().overlappedWaiters) TheKernel().changed.notify_all();
}

void DeliverInputReport(SimulatedDevice& device, const Report& report) {
  for (const auto& queue : device.inputQueues) {
    const auto read = std::find_if(device.pendingReads.begin(), device.pendingReads.end(),
                                   [&](const PendingRead& pending) { return pending.file == queue->file; });
    if (read != device.pendingReads.end()) {
      std::memcpy(read->buffer, report.data(), report.size());
      CompleteOverlapped(*read->overlapped, STATUS_SUCCESS, device.ClaimedReadBytes(report.size()));
      device.pendingReads.erase(read);
      continue;
    }
    queue->reports.push_back(report);
    if (queue->reports.size() > queue->capacity) {
      queue->reports.pop_front();
      ++queue->dropped;
    }
  }
  TheKernel().changed.notify_all();
}

std::size_t DroppedReports(const SimulatedDevice& device) {
  std::size_t dropped = device.droppedByClosedHandles;
  for (const auto& queue : device.inputQueues)
    if (queue->reads) dropped += queue->dropped;
  return dropped;
}

void RemoveInputQueue(SimulatedDevice& device, const InputQueue& queue) {
  if (queue.reads) device.droppedByClosedHandles += queue.dropped;
  device.inputQueues.erase(std::remove_if(device.inputQueues.begin(), device.inputQueues.end(),
                                          [&](const auto& open) { return open.get() == &queue; }),
                           device.inputQueues.end());
}

namespace {

bool Selected(const PendingIo& io, const IoSelection& selection) {
  return (!selection.file || io.file == selection.file) &&
         (!selection.overlapped || io.overlapped == selection.overlapped) &&
         (!selection.thread || io.thread == selection.thread);
}

template <class Pending>
std::size_t EndSelected(std::deque<Pending>& pending, const IoSelection& selection, NTSTATUS status) {
  std::size_t ended = 0;
  for (auto io = pending.begin(); io != pending.end();) {
    if (!Selected(*io, selection)) {
      ++io;
      continue;
    }
    CompleteOverlapped(*io->overlapped, status, 0);
    io = pending.erase(io);
    ++ended;
  }
  return ended;
}

}  // namespace

std::size_t EndPendingIo(SimulatedDevice& device, const IoSelection& selection, NTSTATUS status) {
  return EndSelected(device.pendingReads, selection, status) + EndSelected(device.pendingWrites, selection, status);
}

void TakeOutputReport(SimulatedDevice& device, Report report) {
  device.received.push_back({standin::Delivery::Interrupt, std::move(report)});
}

void CompleteWaitingWrites(SimulatedDevice& device) {
  while (!device.pendingWrites.empty()) {
    PendingWrite write = std::move(device.pendingWrites.front());
    device.pendingWrites.pop_front();
    CompleteOverlapped(*write.overlapped, STATUS_SUCCESS, write.take(device));
  }
  TheKernel().changed.notify_all();  // wakes synchronous writers
}

void Disconnect(SimulatedDevice& device) {
  device.connected = false;
  for (const auto& queue : device.inputQueues) queue->reports.clear();
  EndPendingIo(device, {}, device.RemovalStatus());
  TheKernel().changed.notify_all();  // wakes synchronous readers and writers
}

}  // namespace standin::detail

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

void DeliverInputReport(SimulatedDevice& device, Report report) {
  if (!device.pendingReads.empty()) {
    PendingRead read = device.pendingReads.front();
    device.pendingReads.pop_front();
    std::memcpy(read.buffer, report.data(), report.size());
    CompleteOverlapped(*read.overlapped, STATUS_SUCCESS, device.ClaimedReadBytes(report.size()));
    return;
  }
  device.inputQueue.push_back(std::move(report));
  if (device.inputQueue.size() > device.queueCapacity) {
    device.inputQueue.pop_front();
    ++device.dropped;
  }
  TheKernel().changed.notify_all();
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
  device.inputQueue.clear();
  EndPendingIo(device, {}, device.RemovalStatus());
  TheKernel().changed.notify_all();  // wakes synchronous readers and writers
}

}  // namespace standin::detail

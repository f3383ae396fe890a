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
  TheKernel().changed.notify_all();
}

void DeliverInputReport(SimulatedDevice& device, Report report) {
  if (!device.pendingReads.empty()) {
    PendingRead read = device.pendingReads.front();
    device.pendingReads.pop_front();
    std::memcpy(read.buffer, report.data(), report.size());
    CompleteOverlapped(*read.overlapped, STATUS_SUCCESS, static_cast<DWORD>(report.size()));
    return;
  }
  device.inputQueue.push_back(std::move(report));
  if (device.inputQueue.size() > device.queueCapacity) {
    device.inputQueue.pop_front();
    ++device.dropped;
  }
  TheKernel().changed.notify_all();
}

std::size_t CompleteReads(SimulatedDevice& device, const void* file, const OVERLAPPED* overlapped, NTSTATUS status) {
  std::size_t completed = 0;
  for (auto read = device.pendingReads.begin(); read != device.pendingReads.end();) {
    if ((file && read->file != file) || (overlapped && read->overlapped != overlapped)) {
      ++read;
      continue;
    }
    CompleteOverlapped(*read->overlapped, status, 0);
    read = device.pendingReads.erase(read);
    ++completed;
  }
  return completed;
}

void Disconnect(SimulatedDevice& device) {
  device.connected = false;
  device.inputQueue.clear();
  CompleteReads(device, nullptr, nullptr, STATUS_DEVICE_NOT_CONNECTED);
  TheKernel().changed.notify_all();  // wakes synchronous readers
}

}  // namespace standin::detail

// A device on the simulated bus and what it holds: each open handle's unread
// input reports, reads waiting for one, writes waiting while it takes no
// output, and the output reports written to it. All of it is guarded by the
// kernel lock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kernel_state.h"
#include "parsed_collection.h"
#include "standin/files.h"
#include "standin/simulated_bus.h"

namespace standin::detail {

using Report = std::vector<std::uint8_t>;

struct SimulatedDevice;

// An overlapped operation under way: which file and thread started it.
struct PendingIo {
  const void* file;  // the DeviceFile
  DWORD thread;
  OVERLAPPED* overlapped;
};

struct PendingRead : PendingIo {
  BYTE* buffer;
};

// A write or control request that waits while the device takes no output:
// `take` does what the device does with it, answering the bytes it moved.
struct PendingWrite : PendingIo {
  std::function<DWORD(SimulatedDevice&)> take;
};

// The HID class driver's ring of unread input reports of one open handle:
// every handle of a collection receives every report. HidD_SetNumInputBuffers
// sizes it.
struct InputQueue {
  InputQueue(const void* openFile, std::size_t buffers) : file(openFile), capacity(buffers) {}
  const void* const file;  // the DeviceFile
  std::size_t capacity;
  std::deque<Report> reports;
  std::size_t dropped = 0;
  // Has asked for a report: what a handle that never reads drops is nobody's loss.
  bool reads = false;
};

struct SimulatedDevice {
  SimulatedDevice(DeviceId deviceId, DeviceSpec deviceSpec, std::string devicePath,
                  std::shared_ptr<const ParsedCollection> parsedCollection)
      : id(deviceId), traits(std::move(deviceSpec)), path(std::move(devicePath)), parsed(std::move(parsedCollection)) {}
  DWORD InputLength() const { return traits.caps.InputReportByteLength; }
  DWORD OutputLength() const { return traits.caps.OutputReportByteLength; }
  DWORD FeatureLength() const { return traits.caps.FeatureReportByteLength; }
  // What a read that gave `bytes` says it gave.
  DWORD ClaimedReadBytes(std::size_t bytes) const { return static_cast<DWORD>(bytes + traits.overstatedReadBytes); }
  // What I/O on a handle of the device ends with once it is removed.
  NTSTATUS RemovalStatus() const;
  DWORD RemovalError() const;

  const DeviceId id;
  const DeviceSpec traits;
  const std::string path;
  // The collection of its report descriptor; null for one plugged from caps.
  const std::shared_ptr<const ParsedCollection> parsed;
  bool connected = true;
  // One per open handle, from its open to its close.
  std::vector<std::shared_ptr<InputQueue>> inputQueues;
  // What handles that read and are closed now dropped.
  std::size_t droppedByClosedHandles = 0;
  std::vector<ReceivedReport> received;
  std::deque<PendingRead> pendingReads;
  // By report ID: the last input report sent, and each feature report's
  // contents; an ID not yet here reads as zeros.
  std::map<std::uint8_t, Report> latestInputs;
  std::map<std::uint8_t, Report> features;
  // While stalled the device takes no output report: writes wait.
  bool outputStalled = false;
  std::deque<PendingWrite> pendingWrites;
};

// Whether a collection that numbers its reports with `ids` (none: it does
// not number them) has a report with this ID.
bool DeclaresReportId(const std::vector<std::uint8_t>& ids, std::uint8_t id);

// Every device plugged in since the last Reset, present or gone.
struct Bus {
  std::map<DeviceId, std::shared_ptr<SimulatedDevice>> devices;
  DeviceId nextId = 1;
};
Bus& TheBus();

// With the kernel locked:
std::shared_ptr<SimulatedDevice> FindPresentDevice(const std::string& path);
// Hands each open handle the report: to its oldest waiting read, else into
// its queue, dropping the oldest unread report when the queue is full.
void DeliverInputReport(SimulatedDevice& device, const Report& report);
// The reports dropped from the queues of handles that read, open or closed.
std::size_t DroppedReports(const SimulatedDevice& device);
// A handle's queue leaves with the handle.
void RemoveInputQueue(SimulatedDevice& device, const InputQueue& queue);
// Which waiting operations an end applies to; a null or 0 field matches any.
struct IoSelection {
  const void* file = nullptr;
  const OVERLAPPED* overlapped = nullptr;
  DWORD thread = 0;
};
// Ends the waiting reads and writes selected with `status`; returns how many.
std::size_t EndPendingIo(SimulatedDevice& device, const IoSelection& selection, NTSTATUS status);
// Records the report as written, as the device takes it.
void TakeOutputReport(SimulatedDevice& device, Report report);
// Lets the writes and control requests that waited for a stalled device
// complete, in order.
void CompleteWaitingWrites(SimulatedDevice& device);
void Disconnect(SimulatedDevice& device);
// Leaves the result in OVERLAPPED as Windows does and sets its event.
void CompleteOverlapped(OVERLAPPED& overlapped, NTSTATUS status, DWORD bytes);

}  // namespace standin::detail

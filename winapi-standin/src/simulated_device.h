// A device on the simulated bus and what it holds: unread input reports,
// reads waiting for one, and the output reports written to it. All of it is
// guarded by the kernel lock.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kernel_state.h"
#include "standin/files.h"
#include "standin/simulated_bus.h"

namespace standin::detail {

using Report = std::vector<std::uint8_t>;

struct PendingRead {
  const void* file;  // the DeviceFile that issued it
  OVERLAPPED* overlapped;
  BYTE* buffer;
};

struct SimulatedDevice {
  SimulatedDevice(DeviceId deviceId, DeviceSpec deviceSpec, std::string devicePath)
      : id(deviceId), traits(std::move(deviceSpec)), path(std::move(devicePath)), queueCapacity(traits.inputQueueCapacity) {}
  DWORD InputLength() const { return traits.caps.InputReportByteLength; }
  DWORD OutputLength() const { return traits.caps.OutputReportByteLength; }
  DWORD FeatureLength() const { return traits.caps.FeatureReportByteLength; }

  const DeviceId id;
  const DeviceSpec traits;
  const std::string path;
  // The HID class driver's ring buffer, which HidD_SetNumInputBuffers sizes.
  // Windows keeps one per open handle; the stand-in one per device.
  std::size_t queueCapacity;
  bool connected = true;
  std::deque<Report> inputQueue;
  std::size_t dropped = 0;
  std::vector<ReceivedReport> received;
  std::deque<PendingRead> pendingReads;
  // By report ID: the last input report sent, and each feature report's
  // contents; an ID not yet here reads as zeros.
  std::map<std::uint8_t, Report> latestInputs;
  std::map<std::uint8_t, Report> features;
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
// Hands the report to the oldest waiting read, else queues it, dropping the
// oldest unread report when the queue is full.
void DeliverInputReport(SimulatedDevice& device, Report report);
// Completes the waiting reads that `file` issued (every file's when null)
// for `overlapped` (any when null); returns how many.
std::size_t CompleteReads(SimulatedDevice& device, const void* file, const OVERLAPPED* overlapped, NTSTATUS status);
void Disconnect(SimulatedDevice& device);
// Leaves the result in OVERLAPPED as Windows does and sets its event.
void CompleteOverlapped(OVERLAPPED& overlapped, NTSTATUS status, DWORD bytes);

}  // namespace standin::detail

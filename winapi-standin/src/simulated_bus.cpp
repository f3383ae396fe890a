#include "standin/simulated_bus.h"

#include <cctype>
#include <cstdio>
#include <mutex>
#include <stdexcept>

#include "ntstatus.h"
#include "preparsed_caps.h"
#include "report_descriptor.h"
#include "resets.h"
#include "simulated_device.h"
#include "standin/faults.h"

namespace standin {

using namespace detail;

namespace {

std::mutex gListenerMutex;
std::map<BusListenerId, std::function<void(const BusEvent&)>> gListeners;
BusListenerId gNextListener = 1;

void Notify(const BusEvent& event) {
  std::vector<std::function<void(const BusEvent&)>> listeners;
  {
    std::lock_guard lock(gListenerMutex);
    for (const auto& [id, listener] : gListeners) listeners.push_back(listener);
  }
  for (const auto& listener : listeners) listener(event);
}

// Shaped like Windows' interface paths, which SetupDi hands out in lower case.
std::string InterfacePath(const DeviceSpec& traits, DeviceId id) {
  char head[64];
  std::snprintf(head, sizeof head, "\\\\?\\hid#vid_%04x&pid_%04x", traits.vendorId, traits.productId);
  char interfacePart[16] = "";
  if (traits.interfaceNumber) std::snprintf(interfacePart, sizeof interfacePart, "&mi_%02x", *traits.interfaceNumber);
  char instance[32];
  std::snprintf(instance, sizeof instance, "7&%08x&0&0000", id * 2654435761u);
  std::string path = std::string(head) + interfacePart + (traits.collection ? "&" + *traits.collection : "") + "#" +
                     traits.instanceId.value_or(instance) + "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return path;
}

// With the kernel locked.
std::shared_ptr<SimulatedDevice> DeviceById(DeviceId id) {
  auto found = TheBus().devices.find(id);
  if (found == TheBus().devices.end()) throw std::out_of_range("no simulated device " + std::to_string(id));
  return found->second;
}

}  // namespace

namespace {

struct PlannedDevice {
  DeviceSpec traits;
  std::shared_ptr<const ParsedCollection> parsed;
};

// A device as plugged from one collection of its report descriptor.
PlannedDevice FromCollection(const DeviceSpec& traits, ParsedCollection collection, std::size_t index,
                             std::size_t collections) {
  PlannedDevice planned{traits, std::make_shared<const ParsedCollection>(std::move(collection))};
  const ParsedCollection& parsed = *planned.parsed;
  planned.traits.caps = CapsOf(parsed);
  planned.traits.inputReportIds = parsed.Of(HidP_Input).reportIds;
  planned.traits.outputReportIds = parsed.Of(HidP_Output).reportIds;
  planned.traits.featureReportIds = parsed.Of(HidP_Feature).reportIds;
  if (collections > 1) {
    char name[32];
    std::snprintf(name, sizeof name, "col%02zu", index + 1);
    planned.traits.collection = name;
  }
  return planned;
}

std::vector<PlannedDevice> Plan(const DeviceSpec& traits) {
  if (traits.inputQueueCapacity == 0) throw std::invalid_argument("an input queue holds at least one report");
  if (traits.reportDescriptor.empty()) return {{traits, nullptr}};
  std::vector<ParsedCollection> collections = ParseReportDescriptor(traits.reportDescriptor);
  std::vector<PlannedDevice> planned;
  for (std::size_t i = 0; i < collections.size(); ++i)
    planned.push_back(FromCollection(traits, std::move(collections[i]), i, collections.size()));
  return planned;
}

// Either every device is plugged or, when a path is taken, none.
std::vector<DeviceId> PlugAll(std::vector<PlannedDevice> planned) {
  std::vector<BusEvent> events;
  {
    auto lock = LockKernel();
    for (const PlannedDevice& device : planned) {
      const DeviceId id = TheBus().nextId + static_cast<DeviceId>(events.size());
      BusEvent event{BusEvent::Kind::Arrival, id, InterfacePath(device.traits, id)};
      if (FindPresentDevice(event.path)) throw std::invalid_argument("a device is already plugged in at " + event.path);
      events.push_back(event);
    }
    TheBus().nextId += static_cast<DeviceId>(events.size());
    for (std::size_t i = 0; i < planned.size(); ++i)
      TheBus().devices.emplace(events[i].device,
                               std::make_shared<SimulatedDevice>(events[i].device, std::move(planned[i].traits),
                                                                 events[i].path, std::move(planned[i].parsed)));
  }
  std::vector<DeviceId> ids;
  for (const BusEvent& event : events) {
    Notify(event);
    ids.push_back(event.device);
  }
  return ids;
}

}  // namespace

DeviceId PlugDevice(const DeviceSpec& traits) {
  std::vector<PlannedDevice> planned = Plan(traits);
  if (planned.size() > 1)
    throw std::invalid_argument("the report descriptor holds " + std::to_string(planned.size()) +
                                " top-level collections: plug them with PlugCollections");
  return PlugAll(std::move(planned)).front();
}

std::vector<DeviceId> PlugCollections(const DeviceSpec& traits) { return PlugAll(Plan(traits)); }

void Unplug(DeviceId device) {
  std::string path;
  {
    auto lock = LockKernel();
    auto found = DeviceById(device);
    if (!found->connected) return;
    Disconnect(*found);
    path = found->path;
  }
  Notify({BusEvent::Kind::Removal, device, path});
}

bool SendInputReport(DeviceId device, std::vector<std::uint8_t> report) {
  auto lock = LockKernel();
  auto found = DeviceById(device);
  if (!found->connected || report.size() > found->InputLength()) return false;
  report.resize(found->InputLength());
  if (!report.empty()) found->latestInputs[report[0]] = report;
  DeliverInputReport(*found, report);
  return true;
}

std::vector<ReceivedReport> ReceivedReports(DeviceId device) {
  auto lock = LockKernel();
  return DeviceById(device)->received;
}

std::vector<std::vector<std::uint8_t>> OutputReports(DeviceId device) {
  std::vector<std::vector<std::uint8_t>> outputs;
  for (ReceivedReport& report : ReceivedReports(device))
    if (report.delivery != Delivery::Feature) outputs.push_back(std::move(report.bytes));
  return outputs;
}

bool SetFeatureContents(DeviceId device, std::vector<std::uint8_t> report) {
  auto lock = LockKernel();
  auto found = DeviceById(device);
  if (!found->connected || report.empty() || report.size() > found->FeatureLength() ||
      !DeclaresReportId(found->traits.featureReportIds, report[0]))
    return false;
  report.resize(found->FeatureLength());
  found->features[report[0]] = std::move(report);
  return true;
}

void StallOutput(DeviceId device, bool stalled) {
  auto lock = LockKernel();
  auto found = DeviceById(device);
  found->outputStalled = stalled;
  if (!stalled) CompleteWaitingWrites(*found);
}

std::size_t DroppedInputReports(DeviceId device) {
  auto lock = LockKernel();
  return DroppedReports(*DeviceById(device));
}

std::size_t PendingReadCount(DeviceId device) {
  auto lock = LockKernel();
  return DeviceById(device)->pendingReads.size();
}

std::string DevicePath(DeviceId device) {
  auto lock = LockKernel();
  return DeviceById(device)->path;
}

BusListenerId AddBusListener(std::function<void(const BusEvent&)> listener) {
  std::lock_guard lock(gListenerMutex);
  gListeners.emplace(gNextListener, std::move(listener));
  return gNextListener++;
}

void RemoveBusListener(BusListenerId listener) {
  std::lock_guard lock(gListenerMutex);
  gListeners.erase(listener);
}

void Reset() {
  std::vector<DeviceId> devices;
  {
    auto lock = LockKernel();
    for (const auto& [id, device] : TheBus().devices) devices.push_back(id);
  }
  for (DeviceId device : devices) Unplug(device);
  {
    auto lock = LockKernel();
    TheBus().devices.clear();
  }
  ClearFaults();
  HoldSatisfiedWaits(false);
  HoldEndedRests(false);
  AtNextWaitTimeout(nullptr);
  ResetRecorders();
  ResetTickCount();
  ResetDriveTypes();
}

}  // namespace standin

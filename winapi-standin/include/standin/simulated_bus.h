// The simulated device bus behind SetupDi*, HidD_* and the device files.
// Tests plug devices, feed them input reports from any thread, read back
// what the program wrote, and unplug them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "standin/hid.h"

namespace standin {

using DeviceId = std::uint32_t;

struct DeviceSpec {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  // The device's release number, as HIDD_ATTRIBUTES.VersionNumber tells it.
  std::uint16_t versionNumber = 0;
  // Absent strings make HidD_Get*String fail; empty ones succeed.
  std::optional<std::u16string> product;
  std::optional<std::u16string> manufacturer;
  std::optional<std::u16string> serialNumber;
  HIDP_CAPS caps{};
  // The report descriptor the device sends. When there is one, the caps,
  // report lengths, report IDs and HidP_Get*Caps answers come from it, as
  // Windows' HID parser makes them, and `caps` and the *ReportIds below are
  // not read.
  std::vector<std::uint8_t> reportDescriptor;
  // The HID class driver keeps this many unread input reports for each open
  // handle, until HidD_SetNumInputBuffers sizes it, and drops the oldest
  // beyond them.
  std::size_t inputQueueCapacity = 32;
  // The USB interface of a composite device ("&mi_01" in the path).
  std::optional<std::uint8_t> interfaceNumber;
  // "col01" for one of several top-level collections of a device.
  std::optional<std::string> collection;
  // The report IDs the collection numbers its reports with, per kind; none:
  // it does not number them, and byte 0 of each report is 0. Every report of
  // a kind is as long as the kind's length in caps, its ID included.
  std::vector<std::uint8_t> inputReportIds;
  std::vector<std::uint8_t> outputReportIds;
  std::vector<std::uint8_t> featureReportIds;
  // The third part of the path; by default one that differs per plug.
  std::optional<std::string> instanceId;
  // Windows keeps mice and keyboards to itself: opening one for reading or
  // writing fails with ERROR_ACCESS_DENIED, while access 0 still works.
  bool systemOwned = false;
  // A faulty driver: every read it completes claims this many bytes more
  // than it gave.
  std::size_t overstatedReadBytes = 0;
  // As under Wine 8: once the device is removed, pending and later I/O on its
  // handles fail with ERROR_ACCESS_DENIED (STATUS_DELETE_PENDING) instead of
  // Windows' ERROR_DEVICE_NOT_CONNECTED.
  bool removalDeniesAccess = false;
};

// Throws std::invalid_argument when a present device has the same path, or
// for a report descriptor Windows would not take or that holds several
// top-level collections (PlugCollections plugs those). The functions taking
// a DeviceId throw std::out_of_range for one not plugged in since the last
// Reset.
DeviceId PlugDevice(const DeviceSpec& traits);
// A device whose report descriptor holds several top-level collections
// (a mouse with vendor reports beside it, a keyboard with consumer keys):
// Windows makes each its own HID device, with "&col01", "&col02"... in its
// path and the preparsed data of that collection alone, and so does the
// stand-in. One id per collection, in the descriptor's order; a descriptor
// of one collection plugs it as PlugDevice does. Throws as PlugDevice does,
// and then plugs none.
std::vector<DeviceId> PlugCollections(const DeviceSpec& traits);
void Unplug(DeviceId device);
// The device sends one input report, and every open handle receives it; it
// is also what the
// device answers HidD_GetInputReport for its ID (byte 0) from then on. A
// shorter report is zero-padded to InputReportByteLength; a longer one, or
// one for a device no longer plugged in, is refused with false.
bool SendInputReport(DeviceId device, std::vector<std::uint8_t> report);
// How a report reached the device: written to the interrupt pipe
// (WriteFile), sent over the control pipe (HidD_SetOutputReport), or set as
// a feature report (HidD_SetFeature).
enum class Delivery { Interrupt, Control, Feature };
struct ReceivedReport {
  Delivery delivery;
  std::vector<std::uint8_t> bytes;
};
// Everything the program sent the device so far, in order.
std::vector<ReceivedReport> ReceivedReports(DeviceId device);
// The output reports among them, over either pipe.
std::vector<std::vector<std::uint8_t>> OutputReports(DeviceId device);
// What the device answers HidD_GetFeature for the report's ID (byte 0) from
// now on, until the program sets it; false for an ID the device does not
// declare or a report longer than its feature reports.
bool SetFeatureContents(DeviceId device, std::vector<std::uint8_t> report);
// A stalled device takes no output report: writes stay pending (overlapped)
// or block until it is unstalled, when they complete in order, or until they
// are cancelled, their handle is closed or the device is unplugged.
void StallOutput(DeviceId device, bool stalled);
// The reports dropped from the full queues of handles that read the device,
// open or closed since; a handle that never reads loses nothing it wanted.
std::size_t DroppedInputReports(DeviceId device);
// Overlapped reads of the device that wait for a report, on any handle.
std::size_t PendingReadCount(DeviceId device);
std::string DevicePath(DeviceId device);

// Plug and unplug notices, delivered on the thread that plugs or unplugs,
// after the bus has changed.
struct BusEvent {
  enum class Kind { Arrival, Removal };
  Kind kind;
  DeviceId device;
  std::string path;
};
using BusListenerId = std::uint32_t;
BusListenerId AddBusListener(std::function<void(const BusEvent&)> listener);
void RemoveBusListener(BusListenerId listener);

// Unplugs every device (listeners hear of it) and forgets them, clears
// faults, holds of waits, the calling thread's timeout action and records,
// and restores the default message box handler, debug sink and tick count.
// Open handles stay open: leaks remain visible.
void Reset();

}  // namespace standin

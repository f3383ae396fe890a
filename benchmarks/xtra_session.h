// One loaded Xtra, one script instance and one simulated device with 64-byte
// reports both ways that the instance has open: what the native benchmarks
// drive, calling the Xtra as Director would.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "director_host.h"
#include "host/method_table.h"
#include "script_instance.h"
#include "standin/control.h"

// The benchmarks' device: 64-byte reports both ways (the output report
// length counts report ID 0, which the Xtra sends first).
standin::DeviceSpec BenchDevice(std::size_t inputQueueCapacity = 32);
// Its vendor and product ids, as OpenById's arguments.
extern const char kBenchDeviceIds[];

class XtraSession {
 public:
  static constexpr int kReportBytes = 64;

  // Throws std::runtime_error when the Xtra does not load or open the device.
  // At the end, prints to stderr whatever the Xtra left behind.
  explicit XtraSession(std::size_t inputQueueCapacity = 32);
  ~XtraSession();
  XtraSession(const XtraSession&) = delete;
  XtraSession& operator=(const XtraSession&) = delete;

  DirectorHost& host() { return host_; }
  ScriptInstance& script() { return *script_; }
  standin::DeviceId device() const { return device_; }

  // The call's answer is released at once, as a movie that drops it would.
  void Call(director::MoaLong selector, const std::vector<director::MoaMmValue>& arguments = {});
  // Elements of the list a call answers (0 for anything else).
  long CallForCount(director::MoaLong selector);
  // Sends `count` reports and waits until the Xtra has stored every one.
  void Feed(int count);
  // The stand-in keeps every output report a device received: a fresh bus
  // and device give that memory back during long runs.
  void Replug();
  // Closes and plugs a fresh device of that queue size, not yet opened: the
  // stand-in keeps the driver buffers an open asked for with the device.
  void PlugClosed(std::size_t inputQueueCapacity);

 private:
  void PlugAndOpen();

  std::size_t inputQueueCapacity_;
  DirectorHost host_;
  std::unique_ptr<ScriptInstance> script_;
  standin::DeviceId device_ = 0;
};

// Plugs xtrahost's #gamepad (16 buttons, X, Y, Z, Rx, Ry, Rz and a hat in
// 64-byte reports: buttons in bytes 1 and 2, X in bytes 3 and 4) beside the
// session's device and opens it instead.
standin::DeviceId OpenGamepad(XtraSession& session);

// A substitute host with the Xtra loaded over the stand-in's simulated bus:
// every test starts with an empty bus and ends with no instance, handle or
// thread left behind.
#pragma once

#include <memory>
#include <string>

#include "loaded_xtra.h"
#include "script_instance.h"
#include "standin/control.h"

enum Selector {
  kForget = 1,
  kOpenByProductName = 3,
  kOpenById = 4,
  kIsOpen = 5,
  kClose = 6,
  kRead = 7,
  kReadPacket = 8,
  kReadReport = 9,
  kWrite = 10,
  kNumberOfItemsInReadBuffer = 11,
  kNumberOfPacketsInReadBuffer = 12,
  kDoNotBufferPackets = 13,
  kGetCapabilities = 14,
  kFindUsbDevices = 15,
  kMonitorChanges = 16,
  kMonitorDevice = 17,
  kShowErrorsAsDialogs = 18,
  kPrivateGlobal = 19,
  kPrivateInstance = 20,
};

class SimulatedDevices : public LoadedXtra {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A game pad: 046D:C52B "Pad", reports of 9 bytes both ways.
  static standin::DeviceSpec Pad();
  standin::DeviceId Plug(const standin::DeviceSpec& spec = Pad()) { return standin::PlugDevice(spec); }

  ScriptInstance& New();
  // The instance New made; forgotten and let go at the end of the test.
  ScriptInstance& hid() { return *instance_; }
  // Waits, pumping nothing, until the reader has stored `count` packets.
  bool WaitForPackets(int count);
  // What Director's idle loop does: pump window messages, then notify.
  void Idle();
  // The handler calls recorded since the last look, one "name(args)" each.
  std::string TakeHandlerCalls();

 private:
  std::unique_ptr<ScriptInstance> instance_;
  size_t handlerCallsSeen_ = 0;
};

// A substitute host with the Xtra loaded over the stand-in's simulated bus:
// every test starts with an empty bus and ends with no instance, handle or
// thread left behind.
#pragma once

#include <memory>
#include <string>

#include "eventually.h"
#include "loaded_xtra.h"
#include "pad_ids.h"
#include "selectors.h"
#include "script_instance.h"
#include "standin/control.h"

class SimulatedDevices : public LoadedXtra {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The game pad of pad_ids.h, "Pad", with reports both ways.
  static standin::DeviceSpec Pad();
  standin::DeviceId Plug(const standin::DeviceSpec& traits = Pad()) { return standin::PlugDevice(traits); }

  ScriptInstance& New();
  // New with a Pad plugged in and open; `pad` tells which device it is.
  ScriptInstance& OpenPad(standin::DeviceId& pad);
  // The instance New made; forgotten and let go at the end of the test.
  ScriptInstance& hid() { return *instance_; }
  // Close does not wait for the reader, which ends on its own: waits until
  // it has, with everything it held closed, and its thread has ended or
  // rests, parked for the next open.
  static bool ReadersEnded();
  // Waits, pumping nothing, until the reader has stored `count` packets.
  bool WaitForPackets(int count) { return WaitForPackets(hid(), count); }
  static bool WaitForPackets(ScriptInstance& instance, int count);
  // What Director's idle loop does: pump window messages, then notify.
  void Idle();
  // The one instance still registered for notifications, reached through
  // its notification client as if the movie had it again.
  std::unique_ptr<ScriptInstance> ReachAgain();
  // The handler calls recorded since the last look, one "name(args)" each.
  std::string TakeHandlerCalls();

 private:
  std::unique_ptr<ScriptInstance> instance_;
  size_t handlerCallsSeen_ = 0;
};

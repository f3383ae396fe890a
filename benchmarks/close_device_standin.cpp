#include "close_device.h"
#include "xtra_session.h"

const char kCloseDeviceName[] = "simulated 64-byte device, native";

std::string PrepareCloseDevice() {
  standin::PlugDevice(BenchDevice());
  return kBenchDeviceIds;
}

// burst pad [1, 2] 1000 per second for 50 ms: a device sending one report
// over and over at even intervals while the host idles as a running movie
// would. The pacing is the same in both builds; how a report is sent is not.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host_commands.h"

struct BurstRequest {
  std::string name;  // the device's, as the script wrote it
  std::vector<uint8_t> report;
  int32_t rate = 0;          // reports a second
  int32_t milliseconds = 0;  // for how long
};

// Reads "[<byte>, ...] <rate> per second for <duration> ms", what follows
// the device's name.
bool ReadBurst(CommandArguments& arguments, BurstRequest* request);
// Sends the burst with `sendOne`, which answers false for a report the
// device refused, and notes in the transcript how many went.
void SendBurst(CommandContext& context, const BurstRequest& request, const std::function<bool()>& sendOne);

// A pad open under the substitute host, and a movie handler padInput that
// records what each input call handed it.
#pragma once

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "lingo_literals.h"
#include "simulated_devices.h"

class InputEvents : public SimulatedDevices {
 protected:
  void SetUp() override {
    SimulatedDevices::SetUp();
    host.player().Define("padInput", [this](const std::vector<MoaMmValue>& arguments) {
      ++calls;
      if (arguments.size() == 3) {
        reports += FormatLiteral(host.values(), arguments[1]) + "\n";
        infos += FormatLiteral(host.values(), arguments[2]) + "\n";
      }
      if (inside) inside();
      return kVoidMoaMmValue;
    });
  }
  // Sends reports whose byte 1 counts from `first`, and waits until stored.
  void SendCounted(int first, int count) {
    for (int i = first; i < first + count; ++i)
      standin::SendInputReport(pad, {0, static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)});
    ASSERT_TRUE(WaitForPackets(stored += count));
  }

  // The count each delivered report carries in bytes 1 and 2, in the order
  // they reached the handler.
  std::vector<int> Delivered() const {
    const std::regex report("\\[0, ([0-9]+), ([0-9]+),");
    std::vector<int> counts;
    for (auto match = std::sregex_iterator(reports.begin(), reports.end(), report); match != std::sregex_iterator();
         ++match)
      counts.push_back(std::stoi((*match)[1]) + 256 * std::stoi((*match)[2]));
    return counts;
  }

  standin::DeviceId pad = 0;
  int stored = 0;
  int calls = 0;
  std::string reports;
  std::string infos;
  std::function<void()> inside;
};

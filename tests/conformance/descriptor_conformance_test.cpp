// Every collection of the real devices in ../shared/hid-descriptors, plugged
// from its device's report descriptor, answers HidP_GetCaps,
// HidP_GetButtonCaps, HidP_GetValueCaps and HidP_GetLinkCollectionNodes as
// Windows did: on the stand-in, and under Wine through its own HID class
// driver and hid.dll on a virtual device. What Wine 8 answers otherwise is
// listed (wine_caps_differences.cpp); any other difference fails, and so
// does a listed one that no longer shows.
//
// A file lists the descriptor of its own collection only; a device of
// several collections is plugged from all of its files, in the order of
// their "&colNN", for its global items carry from one collection to the
// next (the last collection of the Plantronics headset inherits its logical
// maximum so).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "caps_comparison.h"
#include "test_device.h"
#include "windows_api.h"
#include "windows_hid_corpus.h"
#include "wine_caps_differences.h"
#include "wine_devices.h"

namespace {

// The collections of one device interface, in the order of their "&colNN".
std::vector<std::vector<WindowsCollection>> ByInterface(std::vector<WindowsCollection> corpus) {
  std::vector<std::vector<WindowsCollection>> devices;
  for (WindowsCollection& collection : corpus) {
    if (devices.empty() || devices.back().front().interfaceName != collection.interfaceName) devices.emplace_back();
    devices.back().push_back(std::move(collection));
  }
  return devices;
}

// The files are named VVVV_PPPP_...: the device's own ids.
std::uint16_t IdAt(const std::string& name, std::size_t at) {
  return static_cast<std::uint16_t>(std::stoul(name.substr(at, 4), nullptr, 16));
}

Difference Missing(const WindowsCollection& windows, const std::string& why) {
  return {windows.name, "the collection", "plugged", why, "yes"};
}

// Plugs the device from its collections' descriptors and compares each
// collection Windows made with the one the platform made.
std::vector<Difference> CompareDevice(const std::vector<WindowsCollection>& windows) {
  std::vector<std::uint8_t> descriptor;
  for (const WindowsCollection& collection : windows)
    descriptor.insert(descriptor.end(), collection.descriptor.begin(), collection.descriptor.end());
  const std::string& name = windows.front().name;
  TestDevice device(IdAt(name, 0), IdAt(name, 5), descriptor);
  if (!device.plugged()) return {Missing(windows.front(), device.failure())};
  std::vector<Difference> differences;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (i >= device.paths().size()) {
      differences.push_back(Missing(windows[i], "no"));
      continue;
    }
    HANDLE file = CreateFileA(device.paths()[i].c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (file == INVALID_HANDLE_VALUE || !HidD_GetPreparsedData(file, &preparsed)) {
      differences.push_back(Missing(windows[i], "not opened, error " + std::to_string(GetLastError())));
    } else {
      const std::vector<Difference> found = CompareCollection(windows[i], preparsed);
      differences.insert(differences.end(), found.begin(), found.end());
      HidD_FreePreparsedData(preparsed);
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  return differences;
}

class DescriptorConformance : public WindowsApi {};

TEST_F(DescriptorConformance, EveryRealCollectionAnswersAsWindowsDidOrAsWineIsKnownToDiffer) {
  ASSERT_TRUE(std::filesystem::is_directory(HID_DESCRIPTORS_DIR)) << "no corpus of real devices at"
                                                                  << HID_DESCRIPTORS_DIR;
  const std::vector<WindowsCollection> corpus = ReadWindowsCorpus(HID_DESCRIPTORS_DIR);
  ASSERT_FALSE(corpus.empty()) << "no .pp_data files in" << HID_DESCRIPTORS_DIR;
  const auto devices = ByInterface(corpus);
  const auto start = std::chrono::steady_clock::now();
  WineDifferenceTally tally;
  std::string unexpected;
  for (const auto& device : devices) {
    const bool refused = UnderWine() && WineRefuses(device.front().name);
    const auto differences = refused ? std::vector<Difference>{Missing(device.front(), kRefusedByWine)}
                                     : CompareDevice(device);
    for (const Difference& difference : differences)
      if (!(UnderWine() && tally.Expected(difference))) unexpected += difference.Text() + "\n";
  }
  EXPECT_TRUE(unexpected.empty()) << "\n" << unexpected;
  if (!UnderWine()) return;
  EXPECT_TRUE(tally.Unmet().empty()) << "listed Wine differences that no longer show:\n" << tally.Unmet();
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu collections of %zu devices compared under Wine in %.1f s (goal: under 10 s)\n%s", corpus.size(),
              devices.size(), seconds, tally.Summary().c_str());
}

}  // namespace

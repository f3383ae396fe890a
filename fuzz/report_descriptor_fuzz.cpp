// Random bytes as a device's report descriptor: the stand-in either refuses
// the plug with std::invalid_argument or plugs collections whose answers
// agree with one another: every control HIDP_CAPS counts is listed, sits in
// a link collection that exists, and has data indices within the count.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "standin/control.h"
#include "winapi_standin.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

USHORT IndexEnd(const HIDP_CAPS_RANGE& range, bool isRange, const HIDP_CAPS_NOT_RANGE& single) {
  return static_cast<USHORT>((isRange ? range.DataIndexMax : single.DataIndex) + 1);
}

template <class PublicCaps, class Get>
void CheckList(Get get, HIDP_REPORT_TYPE type, USHORT count, USHORT dataIndices, USHORT nodes,
               PHIDP_PREPARSED_DATA preparsed) {
  std::vector<PublicCaps> caps(count + 1u);
  auto length = static_cast<USHORT>(caps.size());
  const NTSTATUS status = get(type, caps.data(), &length, preparsed);
  Require(status == (count ? HIDP_STATUS_SUCCESS : HIDP_STATUS_USAGE_NOT_FOUND), "a list of the wrong status");
  Require(length == count, "a list that HIDP_CAPS does not count");
  for (USHORT i = 0; i < length; ++i) {
    Require(caps[i].LinkCollection < nodes, "a control in a link collection that does not exist");
    Require(IndexEnd(caps[i].Range, caps[i].IsRange, caps[i].NotRange) <= dataIndices, "a data index past the count");
  }
}

void CheckCollection(standin::DeviceId device) {
  HANDLE file = CreateFileA(standin::DevicePath(device).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  Require(file != INVALID_HANDLE_VALUE, "a plugged collection that does not open");
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  Require(HidD_GetPreparsedData(file, &preparsed), "no preparsed data");
  HIDP_CAPS caps{};
  Require(HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS, "no caps");
  const USHORT nodes = caps.NumberLinkCollectionNodes;
  CheckList<HIDP_BUTTON_CAPS>(HidP_GetButtonCaps, HidP_Input, caps.NumberInputButtonCaps, caps.NumberInputDataIndices,
                              nodes, preparsed);
  CheckList<HIDP_VALUE_CAPS>(HidP_GetValueCaps, HidP_Input, caps.NumberInputValueCaps, caps.NumberInputDataIndices,
                             nodes, preparsed);
  CheckList<HIDP_BUTTON_CAPS>(HidP_GetButtonCaps, HidP_Output, caps.NumberOutputButtonCaps,
                              caps.NumberOutputDataIndices, nodes, preparsed);
  CheckList<HIDP_VALUE_CAPS>(HidP_GetValueCaps, HidP_Output, caps.NumberOutputValueCaps, caps.NumberOutputDataIndices,
                             nodes, preparsed);
  CheckList<HIDP_BUTTON_CAPS>(HidP_GetButtonCaps, HidP_Feature, caps.NumberFeatureButtonCaps,
                              caps.NumberFeatureDataIndices, nodes, preparsed);
  CheckList<HIDP_VALUE_CAPS>(HidP_GetValueCaps, HidP_Feature, caps.NumberFeatureValueCaps,
                             caps.NumberFeatureDataIndices, nodes, preparsed);
  std::vector<HIDP_LINK_COLLECTION_NODE> links(nodes);
  ULONG length = nodes;
  Require(HidP_GetLinkCollectionNodes(links.data(), &length, preparsed) == HIDP_STATUS_SUCCESS && length == nodes,
          "link collections that HIDP_CAPS does not count");
  for (const auto& node : links)
    Require(node.Parent < nodes && node.FirstChild < nodes && node.NextSibling < nodes, "a link to no node");
  HidD_FreePreparsedData(preparsed);
  CloseHandle(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  standin::DeviceSpec spec;
  spec.vendorId = 0x16C0;
  spec.reportDescriptor.assign(data, data + size);
  if (spec.reportDescriptor.empty()) return 0;  // a device made from caps, not from a descriptor
  std::vector<standin::DeviceId> devices;
  try {
    devices = standin::PlugCollections(spec);
  } catch (const std::invalid_argument&) {
    return 0;
  }
  Require(!devices.empty(), "a descriptor taken without a collection");
  for (standin::DeviceId device : devices) CheckCollection(device);
  standin::Reset();
  return 0;
}

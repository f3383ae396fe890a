#include "device/security_key.h"

#include <vector>

namespace {

constexpr USAGE kFidoUsagePage = 0xF1D0;

// hid.dll keeps every list for a collection it parsed; one it does not keep
// (HIDP_STATUS_NOT_IMPLEMENTED, a collection known by its caps alone) holds
// no usage, and none found is an empty list.
bool Listed(NTSTATUS& status) {
  if (status == HIDP_STATUS_USAGE_NOT_FOUND || status == HIDP_STATUS_NOT_IMPLEMENTED) status = HIDP_STATUS_SUCCESS;
  return status == HIDP_STATUS_SUCCESS;
}

// Each looks only while every list before it could be read.
template <class Caps, class Read>
bool AnyCapOnFidoPage(Read read, HIDP_REPORT_TYPE type, USHORT count, PHIDP_PREPARSED_DATA preparsed,
                      NTSTATUS& status) {
  if (count == 0 || status != HIDP_STATUS_SUCCESS) return false;
  std::vector<Caps> caps(count);
  USHORT length = count;
  status = read(type, caps.data(), &length, preparsed);
  if (!Listed(status)) return false;
  for (USHORT i = 0; i < length && i < count; ++i)
    if (caps[i].UsagePage == kFidoUsagePage) return true;
  return false;
}

bool AnyLinkCollectionOnFidoPage(PHIDP_PREPARSED_DATA preparsed, USHORT count, NTSTATUS& status) {
  if (count == 0 || status != HIDP_STATUS_SUCCESS) return false;
  std::vector<HIDP_LINK_COLLECTION_NODE> nodes(count);
  ULONG length = count;
  status = HidP_GetLinkCollectionNodes(nodes.data(), &length, preparsed);
  if (!Listed(status)) return false;
  for (ULONG i = 0; i < length && i < count; ++i)
    if (nodes[i].LinkUsagePage == kFidoUsagePage) return true;
  return false;
}

}  // namespace

bool ReachesSecurityKey(PHIDP_PREPARSED_DATA preparsed, const HIDP_CAPS& caps, NTSTATUS& status) {
  status = HIDP_STATUS_SUCCESS;
  if (caps.UsagePage == kFidoUsagePage) return true;
  bool found = AnyLinkCollectionOnFidoPage(preparsed, caps.NumberLinkCollectionNodes, status);
  const struct {
    HIDP_REPORT_TYPE type;
    USHORT buttons;
    USHORT values;
  } kinds[] = {{HidP_Input, caps.NumberInputButtonCaps, caps.NumberInputValueCaps},
               {HidP_Output, caps.NumberOutputButtonCaps, caps.NumberOutputValueCaps},
               {HidP_Feature, caps.NumberFeatureButtonCaps, caps.NumberFeatureValueCaps}};
  for (const auto& kind : kinds)
    found = found ||
            AnyCapOnFidoPage<HIDP_BUTTON_CAPS>(HidP_GetButtonCaps, kind.type, kind.buttons, preparsed, status) ||
            AnyCapOnFidoPage<HIDP_VALUE_CAPS>(HidP_GetValueCaps, kind.type, kind.values, preparsed, status);
  return found;
}

// hid.dll's lists of a collection's controls and link collections, from
// the preparsed data of a collection made from a report descriptor.
#include <algorithm>
#include <memory>

#include "faults.h"
#include "ntstatus.h"
#include "preparsed_caps.h"
#include "preparsed_data.h"
#include "standin/hid.h"

using namespace standin::detail;

namespace {

// 0 in any part matches everything, as in Windows.
struct CapsFilter {
  USAGE usagePage;
  USHORT linkCollection;
  USAGE usage;
  bool Matches(const ParsedCap& cap) const {
    return (usagePage == 0 || cap.usage.page == usagePage) &&
           (linkCollection == 0 || cap.linkCollection == linkCollection) &&
           (usage == 0 || (cap.usage.min <= usage && usage <= cap.usage.max));
  }
};

constexpr CapsFilter kEveryCap{0, 0, 0};

bool IsReportType(HIDP_REPORT_TYPE type) { return type == HidP_Input || type == HidP_Output || type == HidP_Feature; }

// With the kernel locked: the parsed collection behind the handle, or the
// status that says why there is none.
const ParsedCollection* ParsedBehind(PHIDP_PREPARSED_DATA preparsed, const void* length, NTSTATUS* status,
                                     std::shared_ptr<PreparsedCaps>* keep) {
  *keep = Find<PreparsedCaps>(preparsed);
  if (!*keep) {
    *status = HIDP_STATUS_INVALID_PREPARSED_DATA;
  } else if (!length) {
    *status = STATUS_INVALID_PARAMETER;
  } else if (!(*keep)->parsed) {
    *status = HIDP_STATUS_NOT_IMPLEMENTED;
  } else {
    return (*keep)->parsed.get();
  }
  return nullptr;
}

template <class PublicCaps>
NTSTATUS CopyCaps(const FaultPoint& fault, HIDP_REPORT_TYPE type, const CapsFilter& filter, PublicCaps* out,
                  PUSHORT length, PHIDP_PREPARSED_DATA preparsed, bool buttons,
                  PublicCaps (*project)(const ParsedCap&)) {
  if (auto code = fault.Take()) return static_cast<NTSTATUS>(*code);
  auto lock = LockKernel();
  NTSTATUS status = HIDP_STATUS_SUCCESS;
  std::shared_ptr<PreparsedCaps> keep;
  const ParsedCollection* parsed = ParsedBehind(preparsed, length, &status, &keep);
  if (!parsed) return status;
  if (!IsReportType(type)) return HIDP_STATUS_INVALID_REPORT_TYPE;
  const USHORT room = out ? *length : 0;
  USHORT copied = 0;
  bool more = false;
  for (const ParsedCap& cap : parsed->Of(type).caps) {
    if (cap.isButton != buttons || !filter.Matches(cap)) continue;
    if (copied == room) {
      more = true;
      break;
    }
    out[copied++] = project(cap);
  }
  *length = copied;
  if (more) return HIDP_STATUS_BUFFER_TOO_SMALL;
  return copied == 0 ? HIDP_STATUS_USAGE_NOT_FOUND : HIDP_STATUS_SUCCESS;
}

}  // namespace

const FaultPoint kHidPGetButtonCapsFault{"HidP_GetButtonCaps"};

extern "C" NTSTATUS WINAPI HidP_GetButtonCaps(HIDP_REPORT_TYPE ReportType, PHIDP_BUTTON_CAPS ButtonCaps,
                                              PUSHORT ButtonCapsLength, PHIDP_PREPARSED_DATA PreparsedData) {
  return CopyCaps(kHidPGetButtonCapsFault, ReportType, kEveryCap, ButtonCaps, ButtonCapsLength, PreparsedData, true,
                  &ButtonCapsOf);
}

const FaultPoint kHidPGetSpecificButtonCapsFault{"HidP_GetSpecificButtonCaps"};

extern "C" NTSTATUS WINAPI HidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE ReportType, USAGE UsagePage,
                                                      USHORT LinkCollection, USAGE Usage, PHIDP_BUTTON_CAPS ButtonCaps,
                                                      PUSHORT ButtonCapsLength, PHIDP_PREPARSED_DATA PreparsedData) {
  return CopyCaps(kHidPGetSpecificButtonCapsFault, ReportType, {UsagePage, LinkCollection, Usage}, ButtonCaps,
                  ButtonCapsLength, PreparsedData, true, &ButtonCapsOf);
}

const FaultPoint kHidPGetValueCapsFault{"HidP_GetValueCaps"};

extern "C" NTSTATUS WINAPI HidP_GetValueCaps(HIDP_REPORT_TYPE ReportType, PHIDP_VALUE_CAPS ValueCaps,
                                             PUSHORT ValueCapsLength, PHIDP_PREPARSED_DATA PreparsedData) {
  return CopyCaps(kHidPGetValueCapsFault, ReportType, kEveryCap, ValueCaps, ValueCapsLength, PreparsedData, false,
                  &ValueCapsOf);
}

const FaultPoint kHidPGetSpecificValueCapsFault{"HidP_GetSpecificValueCaps"};

extern "C" NTSTATUS WINAPI HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE ReportType, USAGE UsagePage,
                                                     USHORT LinkCollection, USAGE Usage, PHIDP_VALUE_CAPS ValueCaps,
                                                     PUSHORT ValueCapsLength, PHIDP_PREPARSED_DATA PreparsedData) {
  return CopyCaps(kHidPGetSpecificValueCapsFault, ReportType, {UsagePage, LinkCollection, Usage}, ValueCaps,
                  ValueCapsLength, PreparsedData, false, &ValueCapsOf);
}

const FaultPoint kHidPGetLinkCollectionNodesFault{"HidP_GetLinkCollectionNodes"};

extern "C" NTSTATUS WINAPI HidP_GetLinkCollectionNodes(PHIDP_LINK_COLLECTION_NODE LinkCollectionNodes,
                                                       PULONG LinkCollectionNodesLength,
                                                       PHIDP_PREPARSED_DATA PreparsedData) {
  if (auto fault = kHidPGetLinkCollectionNodesFault.Take()) return static_cast<NTSTATUS>(*fault);
  auto lock = LockKernel();
  NTSTATUS status = HIDP_STATUS_SUCCESS;
  std::shared_ptr<PreparsedCaps> keep;
  const ParsedCollection* parsed = ParsedBehind(PreparsedData, LinkCollectionNodesLength, &status, &keep);
  if (!parsed) return status;
  const auto& nodes = parsed->linkNodes;
  const ULONG needed = static_cast<ULONG>(nodes.size());
  const ULONG room = LinkCollectionNodes ? *LinkCollectionNodesLength : 0;
  *LinkCollectionNodesLength = needed;
  if (room < needed) return HIDP_STATUS_BUFFER_TOO_SMALL;
  std::copy(nodes.begin(), nodes.end(), LinkCollectionNodes);
  return HIDP_STATUS_SUCCESS;
}

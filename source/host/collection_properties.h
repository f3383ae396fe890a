// A HID collection as Lingo sees it: the properties of FindHidDevices'
// lists, GetDeviceInfo's answer and MonitorHidDevices' arrivals, and the
// filter that picks collections by them.
#pragma once

#include <string>
#include <vector>

#include "device/hid_collection_info.h"
#include "moa_contract.h"

class HostServices;

// Each answers the first host status that failed, or 0.
// #Path, #VendorID and #ProductID, which every event can tell.
MoaError AddCollectionIdentity(HostServices& services, MoaMmValue* propList, const HidCollectionInfo& collection);
// The others, in FindHidDevices' order, from #ReleaseNumber to #Protected.
MoaError AddCollectionDetails(HostServices& services, MoaMmValue* propList, const HidCollectionInfo& collection);
// A new property list of all of them; `out` gets it only whole.
MoaError MakeCollectionProperties(HostServices& services, const HidCollectionInfo& collection, MoaMmValue* out);

struct CollectionProperty;

// The keys and values of a filter; a collection passes when it has them all.
class CollectionFilter {
 public:
  // False, with why in `error`, when the value is no property list of
  // collection properties and values of their kinds.
  bool Read(HostServices& services, const MoaMmValue& filter, std::string& error);
  bool Passes(const HidCollectionInfo& collection) const;

 private:
  struct Term {
    const CollectionProperty* property;
    int32_t number;
    std::string text;
  };
  std::vector<Term> terms_;
};

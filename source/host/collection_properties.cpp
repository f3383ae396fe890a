#include "host/collection_properties.h"

#include <cstddef>

#include "diagnostics/bounded_text.h"
#include "values/host_services.h"
#include "values/host_text.h"

// One property: an integer or a text in the host's encoding.
struct CollectionProperty {
  const char* name;
  int32_t (*number)(const HidCollectionInfo&);
  void (*text)(const HidCollectionInfo&, char* out, size_t size);
};

namespace {

// Device strings are 256 UTF-16 units; UTF-8 takes at most three bytes each.
constexpr size_t kTextSize = 3 * UsbDeviceInfo::kStringUnits;

using Info = HidCollectionInfo;
const CollectionProperty kProperties[] = {
    {"Path", nullptr, [](const Info& c, char* out, size_t size) { CopyText(out, size, c.path.c_str()); }},
    {"VendorID", [](const Info& c) { return c.device.VendorID; }, nullptr},
    {"ProductID", [](const Info& c) { return c.device.ProductID; }, nullptr},
    {"ReleaseNumber", [](const Info& c) { return c.releaseNumber; }, nullptr},
    {"Manufacturer", nullptr,
     [](const Info& c, char* out, size_t size) { WideToHostText(c.device.Manufacturer, out, size); }},
    {"Product", nullptr, [](const Info& c, char* out, size_t size) { WideToHostText(c.device.Product, out, size); }},
    {"SerialNumberString", nullptr,
     [](const Info& c, char* out, size_t size) { WideToHostText(c.device.SerialNumberString, out, size); }},
    {"UsagePage", [](const Info& c) { return static_cast<int32_t>(c.caps.UsagePage); }, nullptr},
    {"Usage", [](const Info& c) { return static_cast<int32_t>(c.caps.Usage); }, nullptr},
    {"InterfaceNumber", [](const Info& c) { return c.interfaceNumber; }, nullptr},
    {"InputReportByteLength", [](const Info& c) { return static_cast<int32_t>(c.caps.InputReportByteLength); },
     nullptr},
    {"OutputReportByteLength", [](const Info& c) { return static_cast<int32_t>(c.caps.OutputReportByteLength); },
     nullptr},
    {"FeatureReportByteLength", [](const Info& c) { return static_cast<int32_t>(c.caps.FeatureReportByteLength); },
     nullptr},
    {"SystemOwned", [](const Info& c) { return c.systemOwned ? 1 : 0; }, nullptr},
    {"Protected", [](const Info& c) { return c.securityKey ? 1 : 0; }, nullptr},
};
constexpr size_t kIdentityProperties = 3;
constexpr size_t kPropertyCount = sizeof kProperties / sizeof kProperties[0];

MoaError AddProperties(HostServices& services, MoaMmValue* propList, const Info& collection, size_t from, size_t to) {
  MoaError status = kMoaErr_NoErr;
  for (size_t i = from; i < to && status == kMoaErr_NoErr; ++i) {
    const CollectionProperty& property = kProperties[i];
    if (property.number) {
      status = services.AddIntegerProperty(propList, property.name, property.number(collection));
    } else {
      char text[kTextSize];
      property.text(collection, text, sizeof text);
      status = services.AddStringProperty(propList, property.name, text);
    }
  }
  return status;
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// As Lingo compares symbols and strings: letter case does not count.
bool SameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (FoldCase(*a) != FoldCase(*b)) return false;
  return *a == *b;
}

const CollectionProperty* FindProperty(const char* name) {
  for (const CollectionProperty& property : kProperties)
    if (SameIgnoringCase(property.name, name)) return &property;
  return nullptr;
}

}  // namespace

MoaError AddCollectionIdentity(HostServices& services, MoaMmValue* propList, const HidCollectionInfo& collection) {
  return AddProperties(services, propList, collection, 0, kIdentityProperties);
}

MoaError AddCollectionDetails(HostServices& services, MoaMmValue* propList, const HidCollectionInfo& collection) {
  return AddProperties(services, propList, collection, kIdentityProperties, kPropertyCount);
}

MoaError MakeCollectionProperties(HostServices& services, const HidCollectionInfo& collection, MoaMmValue* out) {
  HostValue properties(services.values());
  MoaError status = services.NewPropList(properties.out());
  if (status == kMoaErr_NoErr) status = AddProperties(services, properties.get(), collection, 0, kPropertyCount);
  if (status == kMoaErr_NoErr) *out = properties.release();
  return status;
}

bool CollectionFilter::Read(HostServices& services, const MoaMmValue& filter, std::string& error) {
  IMoaMmValue& values = *services.values();
  IMoaMmList& lists = *services.lists();
  MoaLong type = kMoaMmValueType_Void;
  values.ValueType(&filter, &type);
  if (type != kMoaMmValueType_PropList) {
    error = "filter must be a property list";
    return false;
  }
  const MoaLong count = lists.CountElements(&filter);
  for (MoaLong position = 1; position <= count; ++position) {
    HostValue key(&values);
    HostValue value(&values);
    char name[64] = "";
    const bool named = lists.GetPropertyNameByIndex(&filter, position, key.out()) == kMoaErr_NoErr &&
                       services.NameOf(*key.get(), name, sizeof name);
    const CollectionProperty* property = named ? FindProperty(name) : nullptr;
    if (!property) {
      error = named ? "#" + std::string(name) + " is not a property of a HID collection"
                    : "the filter's keys must name properties of a HID collection";
      return false;
    }
    lists.GetValueByIndex(&filter, position, value.out());
    MoaLong valueType = kMoaMmValueType_Void;
    values.ValueType(value.get(), &valueType);
    Term term{property, 0, ""};
    bool fits = false;
    if (property->number && valueType == kMoaMmValueType_Integer) {
      MoaLong number = 0;
      fits = values.ValueToInteger(value.get(), &number) == kMoaErr_NoErr;
      term.number = number;
    } else if (property->text && valueType == kMoaMmValueType_String) {
      char text[kTextSize] = "";
      fits = services.ValueText(value.get(), text, sizeof text);
      term.text = text;
    }
    if (!fits) {
      error = "#" + std::string(property->name) + (property->number ? " must be an integer" : " must be a string");
      return false;
    }
    terms_.push_back(std::move(term));
  }
  return true;
}

bool CollectionFilter::Passes(const HidCollectionInfo& collection) const {
  for (const Term& term : terms_) {
    if (term.property->number) {
      if (term.property->number(collection) != term.number) return false;
    } else {
      char text[kTextSize];
      term.property->text(collection, text, sizeof text);
      if (!SameIgnoringCase(text, term.text.c_str())) return false;
    }
  }
  return true;
}

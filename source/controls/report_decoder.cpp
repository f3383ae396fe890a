#include "controls/report_decoder.h"

#include <algorithm>
#include <map>

#include "controls/guarded_report.h"
#include "controls/hid_status.h"
#include "controls/usage_names.h"

namespace {

int32_t Logical(uint32_t raw, const Control& control) {
  if (control.logicalMin >= 0 || control.bits == 0 || control.bits >= 32) return static_cast<int32_t>(raw);
  const uint32_t sign = 1u << (control.bits - 1);
  const uint32_t field = raw & ((sign << 1) - 1);
  return static_cast<int32_t>(field ^ sign) - static_cast<int32_t>(sign);
}

bool InSpans(const Control& array, const USAGE_AND_PAGE& usage) {
  return std::any_of(array.arrayUsages.begin(), array.arrayUsages.end(), [&](const UsageSpan& span) {
    return span.page == usage.UsagePage && span.min <= usage.Usage && usage.Usage <= span.max;
  });
}

// The usages on in one link collection of the report, and which of them a
// control claimed.
struct UsagesOn {
  std::vector<USAGE_AND_PAGE> usages;
  std::vector<bool> claimed;
};

bool SameUsage(const USAGE_AND_PAGE& a, const USAGE_AND_PAGE& b) {
  return a.UsagePage == b.UsagePage && a.Usage == b.Usage;
}

class Decoder {
 public:
  Decoder(PHIDP_PREPARSED_DATA preparsed, ControlKind kind, GuardedReport& report)
      : preparsed_(preparsed), type_(ControlTable::ReportType(kind)), report_(report) {}

  // Reads which usages are on in each link collection that holds buttons
  // or arrays of the report.
  XtraResult ReadUsagesOn(const std::vector<USHORT>& collections, uint32_t most);
  XtraResult Read(const Control& control, DecodedControl& out);
  // Usages on that no control claimed go to the report's first array.
  void HandOnUnclaimed(DecodedReport& report) const;

 private:
  XtraResult AskUsagesOn(USHORT collection, uint32_t most, std::vector<USAGE_AND_PAGE>& on);
  XtraResult ReadValue(const Control& control, DecodedControl& out);
  XtraResult ReadValueArray(const Control& control, DecodedControl& out);

  PHIDP_PREPARSED_DATA preparsed_;
  HIDP_REPORT_TYPE type_;
  GuardedReport& report_;
  std::map<USHORT, UsagesOn> on_;  // by link collection
};

XtraResult Decoder::AskUsagesOn(USHORT collection, uint32_t most, std::vector<USAGE_AND_PAGE>& on) {
  // Wine 8 reads each byte of a wider array field as a usage of its own, more
  // than HidP_MaxUsageListLength allows for: it then asks for more room. No
  // report holds more usages on than it has bits.
  const size_t bound = std::max<size_t>(size_t{report_.Length()} * 8, most);
  size_t room = std::max<uint32_t>(most, 1);
  ULONG count = 0;
  NTSTATUS status = HIDP_STATUS_SUCCESS;
  for (;;) {
    on.resize(room);
    count = static_cast<ULONG>(room);
    status = HidP_GetUsagesEx(type_, collection, on.data(), &count, preparsed_, report_.Data(), report_.Length());
    if (status != HIDP_STATUS_BUFFER_TOO_SMALL || room >= bound) break;
    room = std::min(bound, std::max<size_t>(count, room * 2));
  }
  // A report without buttons holds none on.
  if (status == HIDP_STATUS_USAGE_NOT_FOUND || status == HIDP_STATUS_INCOMPATIBLE_REPORT_ID) count = 0;
  else if (status != HIDP_STATUS_SUCCESS) return Refusal("Could not read the report's buttons: " + HidStatusName(status));
  on.resize(std::min<size_t>(count, on.size()));
  return Success();
}

XtraResult Decoder::ReadUsagesOn(const std::vector<USHORT>& collections, uint32_t most) {
  // Link collection 0 asks for the usages on in every collection: those of
  // the others are taken out, and what stays is the top-level collection's
  // own. Windows tells buttons of one usage apart only by their collection
  // (each finger of a touch screen has its tip switch).
  std::vector<USAGE_AND_PAGE> own;
  XtraResult result = AskUsagesOn(0, most, own);
  for (USHORT collection : collections) {
    if (collection == 0 || result.isError) continue;
    std::vector<USAGE_AND_PAGE>& on = on_[collection].usages;
    result = AskUsagesOn(collection, most, on);
    for (const USAGE_AND_PAGE& usage : on) {
      const auto same = std::find_if(own.begin(), own.end(), [&](const USAGE_AND_PAGE& o) { return SameUsage(o, usage); });
      if (same != own.end()) own.erase(same);
    }
  }
  if (result.isError) return result;
  on_[0].usages = std::move(own);
  for (auto& entry : on_) entry.second.claimed.assign(entry.second.usages.size(), false);
  return Success();
}

XtraResult Decoder::Read(const Control& control, DecodedControl& out) {
  out.control = &control;
  UsagesOn& on = on_[control.collection];
  switch (control.type) {
    case ControlType::Button: {
      out.shape = DecodedControl::Shape::Number;
      out.number = 0;
      for (size_t i = 0; i < on.usages.size(); ++i)
        if (SameUsage(on.usages[i], {control.usage, control.usagePage})) {
          on.claimed[i] = true;
          out.number = 1;
        }
      return Success();
    }
    case ControlType::Array:
      out.shape = DecodedControl::Shape::Usages;
      for (size_t i = 0; i < on.usages.size(); ++i)
        if (!on.claimed[i] && InSpans(control, on.usages[i])) {
          on.claimed[i] = true;
          out.usages.push_back(UsageName(on.usages[i].UsagePage, on.usages[i].Usage));
        }
      return Success();
    case ControlType::Value: return control.IsValueArray() ? ReadValueArray(control, out) : ReadValue(control, out);
  }
  return Success();
}

XtraResult Decoder::ReadValue(const Control& control, DecodedControl& out) {
  ULONG raw = 0;
  const NTSTATUS status = HidP_GetUsageValue(type_, control.usagePage, control.collection, control.usage, &raw,
                                             preparsed_, report_.Data(), report_.Length());
  if (status != HIDP_STATUS_SUCCESS) return Refusal("Could not read #" + control.name + ": " + HidStatusName(status));
  out.number = Logical(raw, control);
  const bool outside = out.number < control.logicalMin || out.number > control.logicalMax;
  out.shape = control.hasNull && outside ? DecodedControl::Shape::Null : DecodedControl::Shape::Number;
  return Success();
}

XtraResult Decoder::ReadValueArray(const Control& control, DecodedControl& out) {
  const uint32_t bits = uint32_t{control.bits} * control.count;
  std::vector<char> fields((bits + 7) / 8);
  const NTSTATUS status =
      HidP_GetUsageValueArray(type_, control.usagePage, control.collection, control.usage, fields.data(),
                              static_cast<USHORT>(fields.size()), preparsed_, report_.Data(), report_.Length());
  if (status != HIDP_STATUS_SUCCESS) return Refusal("Could not read #" + control.name + ": " + HidStatusName(status));
  out.shape = DecodedControl::Shape::Numbers;
  for (uint32_t field = 0; field < control.count; ++field) {
    uint32_t raw = 0;
    for (uint32_t bit = 0; bit < control.bits && bit < 32; ++bit) {
      const uint32_t at = field * control.bits + bit;
      if ((static_cast<unsigned char>(fields[at / 8]) >> (at % 8)) & 1u) raw |= 1u << bit;
    }
    out.numbers.push_back(Logical(raw, control));
  }
  return Success();
}

// Wine 8 reads an array's usages one off and cut to 8 bits, so that a usage
// may fall outside every range the collection declares: it still reaches
// the movie, in the report's first array, rather than being lost.
void Decoder::HandOnUnclaimed(DecodedReport& report) const {
  const auto array = std::find_if(report.controls.begin(), report.controls.end(), [](const DecodedControl& decoded) {
    return decoded.control->type == ControlType::Array;
  });
  if (array == report.controls.end()) return;
  for (const auto& entry : on_) {
    const UsagesOn& on = entry.second;
    for (size_t i = 0; i < on.usages.size(); ++i)
      if (!on.claimed[i]) array->usages.push_back(UsageName(on.usages[i].UsagePage, on.usages[i].Usage));
  }
}

}  // namespace

XtraResult DecodeReport(PHIDP_PREPARSED_DATA preparsed, const ControlTable& table, ControlKind kind,
                        const uint8_t* bytes, uint32_t length, DecodedReport& out) {
  const uint32_t expected = table.ReportLength(kind);
  if (expected == 0) return Refusal(std::string("The device has no ") + KindName(kind) + " reports");
  if (length != expected)
    return Refusal("The report holds " + std::to_string(length) + " bytes; " + KindName(kind) +
                   " reports of this device hold " + std::to_string(expected));
  if (!table.HasReport(kind, bytes[0]))
    return Refusal(std::string("The device has no ") + KindName(kind) + " report with ID " + std::to_string(bytes[0]));
  std::vector<USHORT> collections;
  for (const Control& control : table.Of(kind))
    if (control.reportId == bytes[0] && control.type != ControlType::Value &&
        std::find(collections.begin(), collections.end(), control.collection) == collections.end())
      collections.push_back(control.collection);
  GuardedReport report(bytes, length);
  Decoder decoder(preparsed, kind, report);
  XtraResult result = decoder.ReadUsagesOn(collections, table.MaxUsagesOn(kind));
  if (result.isError) return result;
  out.reportId = bytes[0];
  out.controls.clear();
  for (const Control& control : table.Of(kind)) {
    if (control.reportId != out.reportId || !control.reachable) continue;
    out.controls.emplace_back();
    result = decoder.Read(control, out.controls.back());
    if (result.isError) return result;
  }
  if (!report.Intact()) return Refusal("Windows wrote past the report while reading it");
  decoder.HandOnUnclaimed(out);
  return Success();
}

#include "usage_report.h"

#include "controls/usage_names.h"
#include "method_catalog.h"
#include "platform.h"

namespace {

struct Found {
  USAGE page = 0;
  USAGE usage = 0;
  UCHAR reportId = 0;
  bool button = false;
};

template <class Caps>
bool FindIn(const std::vector<Caps>& caps, const std::string& name, bool button, Found& found) {
  for (const Caps& cap : caps) {
    const USAGE min = cap.IsRange ? cap.Range.UsageMin : cap.NotRange.Usage;
    const USAGE max = cap.IsRange ? cap.Range.UsageMax : cap.NotRange.Usage;
    for (uint32_t usage = min; usage <= max; ++usage)
      if (FoldCase(UsageName(cap.UsagePage, static_cast<uint16_t>(usage))) == FoldCase(name)) {
        found = {cap.UsagePage, static_cast<USAGE>(usage), cap.ReportID, button};
        return true;
      }
  }
  return false;
}

// The input controls of the device, as Windows lists them.
class InputControls {
 public:
  explicit InputControls(const std::string& devicePath)
      : file_(CreateFileA(devicePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr)) {
    if (file_ == INVALID_HANDLE_VALUE || !HidD_GetPreparsedData(file_, &preparsed_)) return;
    HIDP_CAPS caps{};
    HidP_GetCaps(preparsed_, &caps);
    length_ = caps.InputReportByteLength;
    buttons_.resize(caps.NumberInputButtonCaps);
    values_.resize(caps.NumberInputValueCaps);
    USHORT count = static_cast<USHORT>(buttons_.size());
    if (count) HidP_GetButtonCaps(HidP_Input, buttons_.data(), &count, preparsed_);
    count = static_cast<USHORT>(values_.size());
    if (count) HidP_GetValueCaps(HidP_Input, values_.data(), &count, preparsed_);
  }
  ~InputControls() {
    if (preparsed_) HidD_FreePreparsedData(preparsed_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  InputControls(const InputControls&) = delete;
  InputControls& operator=(const InputControls&) = delete;

  bool Described() const { return length_ != 0 && !(buttons_.empty() && values_.empty()); }
  bool Find(const std::string& name, Found& found) const {
    return FindIn(buttons_, name, true, found) || FindIn(values_, name, false, found);
  }
  bool Set(std::vector<char>& report, const Found& found, int32_t value) const {
    ULONG length = static_cast<ULONG>(report.size());
    if (!found.button)
      return HidP_SetUsageValue(HidP_Input, found.page, 0, found.usage, static_cast<ULONG>(value), preparsed_,
                                report.data(), length) == HIDP_STATUS_SUCCESS;
    USAGE usage = found.usage;
    ULONG count = 1;
    const auto change = value ? HidP_SetUsages : HidP_UnsetUsages;
    const NTSTATUS status = change(HidP_Input, found.page, 0, &usage, &count, preparsed_, report.data(), length);
    return status == HIDP_STATUS_SUCCESS || status == HIDP_STATUS_BUTTON_NOT_PRESSED;
  }
  bool Blank(std::vector<char>& report, UCHAR reportId) const {
    report.assign(length_, 0);
    return HidP_InitializeReportForID(HidP_Input, reportId, preparsed_, report.data(), length_) ==
           HIDP_STATUS_SUCCESS;
  }

 private:
  HANDLE file_;
  PHIDP_PREPARSED_DATA preparsed_ = nullptr;
  ULONG length_ = 0;
  std::vector<HIDP_BUTTON_CAPS> buttons_;
  std::vector<HIDP_VALUE_CAPS> values_;
};

}  // namespace

bool BuildInputReport(const std::string& devicePath,
                      const std::vector<std::pair<std::string, const LingoValue*>>& properties,
                      std::vector<uint8_t>& report, std::string& error) {
  const InputControls controls(devicePath);
  if (!controls.Described()) {
    error = "the device was plugged without a report descriptor: send it bytes";
    return false;
  }
  std::vector<Found> found(properties.size());
  for (size_t i = 0; i < properties.size(); ++i) {
    const auto& [name, value] = properties[i];
    if (!controls.Find(name, found[i])) {
      error = "#" + name + " is no input control of the device";
      return false;
    }
    if (value->type != director::kMoaMmValueType_Integer) {
      error = "#" + name + " must be an integer";
      return false;
    }
    if (found[i].reportId != found[0].reportId) {
      error = "#" + properties[0].first + " and #" + name + " are in different reports";
      return false;
    }
  }
  std::vector<char> built;
  if (properties.empty() || !controls.Blank(built, found[0].reportId)) {
    error = "name at least one input control";
    return false;
  }
  for (size_t i = 0; i < properties.size(); ++i)
    if (!controls.Set(built, found[i], properties[i].second->integer)) {
      error = "#" + properties[i].first + " cannot take " + std::to_string(properties[i].second->integer);
      return false;
    }
  report.assign(built.begin(), built.end());
  return true;
}

#include "host/input_delivery.h"

#include <string>
#include <utility>
#include <vector>

#include "device/usb_class_base.h"
#include "diagnostics/bounded_text.h"
#include "host/call_context.h"
#include "host/decoded_lists.h"
#include "host/device_answers.h"
#include "host/interface_objects.h"
#include "values/host_services.h"
#include "values/list_builder.h"

namespace {

using Shape = ListBuilder::Shape;

// What one call hands over at most, as one Read answers at most: a backlog
// must not become one list that holds the host for seconds.
constexpr size_t kMaxReportsPerCall = 256;
constexpr size_t kMaxBytesPerCall = 65536;
constexpr size_t kMaxPacketBytes = 65535;

// The script object, asked of the instance for this idle: the one the movie
// called through last may have been let go of.
class ScriptObject {
 public:
  explicit ScriptObject(XtraInstance& instance) {
    void* script = nullptr;
    if (instance.Self()->QueryInterface(&IID_IMoaMmXScript, &script) == kMoaErr_NoErr)
      script_ = static_cast<TStdXtra_IMoaMmXScript*>(static_cast<IMoaMmXScript*>(script));
  }
  ~ScriptObject() {
    if (script_) script_->Release();
  }
  ScriptObject(const ScriptObject&) = delete;
  ScriptObject& operator=(const ScriptObject&) = delete;

  TStdXtra_IMoaMmXScript* get() const { return script_; }

 private:
  TStdXtra_IMoaMmXScript* script_ = nullptr;
};

ControlValue ValueOf(const DecodedControl& decoded) {
  ControlValue value;
  value.shape = static_cast<int>(decoded.shape);
  value.number = decoded.number;
  value.usages = decoded.usages;
  value.numbers = decoded.numbers;
  return value;
}

// One input call in the making: what it hands over and what it stands for.
class InputCall {
 public:
  InputCall(XtraInstance& instance, TStdXtra_IMoaMmXScript& script)
      : instance_(instance),
        script_(script),
        state_(instance.input),
        device_(*instance.device),
        services_(*instance.hostServices),
        heard_(state_.heard) {}

  // False when there is nothing to tell this idle.
  bool Gather(HostValue& reports);
  // Makes the call; what it delivered leaves the buffer.
  void Make(HostValue& reports);

 private:
  void TellOnce(bool& told, const std::string& help);
  // #reports and #decoded: the oldest reports, within one call's limits.
  void AddOldest(ListBuilder& list, bool decode);
  void AddDecoded(ListBuilder& list, const uint8_t* report, uint32_t length);
  // #changes: the newest report of each report ID folds the backlog; false
  // when no control changed.
  bool AddChanges(ListBuilder& list);
  void AddInfo(MoaMmValue* out);

  XtraInstance& instance_;
  TStdXtra_IMoaMmXScript& script_;
  InputHandlerState& state_;
  UsbClassBase& device_;
  HostServices& services_;
  ByteList bytes_;
  std::vector<uint32_t> lengths_;
  InputBuffer::Copied copied_;
  size_t standsFor_ = 0;
  size_t droppedTold_ = 0;
  std::map<std::pair<uint8_t, std::string>, ControlValue> heard_;
};

void InputCall::TellOnce(bool& told, const std::string& help) {
  if (told) return;
  told = true;
  RememberError(instance_, help.c_str(), XtraResult::kNoCode);
  const DialogsSuppressed quiet(instance_);
  script_.InformUserViaCallbackOfUserError("Error", help.c_str(), "");
}

void InputCall::AddDecoded(ListBuilder& list, const uint8_t* report, uint32_t length) {
  DecodedReport decoded;
  const XtraResult result = device_.DecodeReport(ControlKind::Input, report, length, decoded);
  list.Open(Shape::PropList);
  if (result.isError) {
    // The bytes still reach the movie, beside the report ID.
    TellOnce(state_.toldUndecodable, std::string("Input reports cannot be decoded: ") + result.message);
    list.Integer("ReportID", report[0]);
    list.Bytes("Bytes", report, length);
  } else {
    AddDecodedReport(list, decoded);
  }
  list.Close();
}

void InputCall::AddOldest(ListBuilder& list, bool decode) {
  copied_ = device_.input().Copy(bytes_, kMaxPacketBytes, kMaxReportsPerCall, kMaxBytesPerCall, &lengths_);
  const uint8_t* report = bytes_.data();
  for (uint32_t length : lengths_) {
    if (decode)
      AddDecoded(list, report, length);
    else
      list.Bytes(nullptr, report, length);
    report += length;
  }
}

bool InputCall::AddChanges(ListBuilder& list) {
  copied_ = device_.input().Copy(bytes_, kMaxPacketBytes, SIZE_MAX, SIZE_MAX, &lengths_);
  // Offsets of the newest report of each ID, in the order they came.
  std::vector<std::pair<size_t, uint32_t>> newest;
  size_t offset = 0;
  for (uint32_t length : lengths_) {
    for (auto it = newest.begin(); it != newest.end(); ++it) {
      if (bytes_[it->first] == bytes_[offset]) {
        newest.erase(it);
        break;
      }
    }
    newest.emplace_back(offset, length);
    offset += length;
  }
  std::vector<DecodedReport> reports(newest.size());
  std::vector<const DecodedControl*> changed;
  for (size_t i = 0; i < newest.size(); ++i) {
    const XtraResult result =
        device_.DecodeReport(ControlKind::Input, bytes_.data() + newest[i].first, newest[i].second, reports[i]);
    if (result.isError) {
      TellOnce(state_.toldUndecodable, std::string("Input reports cannot be decoded: ") + result.message);
      continue;
    }
    for (const DecodedControl& control : reports[i].controls) {
      ControlValue value = ValueOf(control);
      const auto key = std::make_pair(reports[i].reportId, control.control->name);
      auto known = heard_.find(key);
      if (known != heard_.end() && known->second == value) continue;
      heard_[key] = std::move(value);
      changed.push_back(&control);
    }
  }
  for (const DecodedControl* control : changed) ::AddDecoded(list, *control);
  return !changed.empty();
}

void InputCall::AddInfo(MoaMmValue* out) {
  droppedTold_ = device_.input().DroppedCount();
  const size_t dropped = droppedTold_ - state_.droppedBefore;
  const size_t buffered = device_.input().Packets();
  ListBuilder info(services_, Shape::PropList);
  info.Integer("Reports", static_cast<int32_t>(standsFor_));
  info.Integer("Dropped", static_cast<int32_t>(dropped));
  info.Integer("Waiting", static_cast<int32_t>(buffered > copied_.packets ? buffered - copied_.packets : 0));
  info.HandTo(out);
}

bool InputCall::Gather(HostValue& reports) {
  const InputMode mode = state_.mode;
  ListBuilder list(services_, mode == InputMode::Changes ? Shape::PropList : Shape::List);
  bool tell = true;
  switch (mode) {
    case InputMode::Reports: AddOldest(list, false); break;
    case InputMode::Decoded: AddOldest(list, true); break;
    case InputMode::Latest:
      copied_ = device_.input().CopyNewest(bytes_, kMaxPacketBytes);
      if (copied_.packets) list.Bytes(nullptr, bytes_.data(), bytes_.size());
      break;
    case InputMode::Changes:
      tell = AddChanges(list);
      if (!tell) {
        // Seen and unchanged: nothing for the movie, and not kept for a read.
        device_.input().Remove(copied_);
        state_.reportsSinceCall += copied_.packets;
      }
      break;
  }
  standsFor_ = copied_.packets + (mode == InputMode::Changes ? state_.reportsSinceCall : 0);
  if (!tell || copied_.packets == 0) return false;
  // A list the host cannot finish is no call: the reports stay for the next.
  return list.HandTo(reports.out()) == kMoaErr_NoErr;
}

void InputCall::Make(HostValue& reports) {
  IMoaMmValue* values = services_.values();
  HostValue id(values);
  HostValue info(values);
  MoaMmSymbol handler = 0;
  values->IntegerToValue(instance_.instanceId, id.out());
  AddInfo(info.out());
  if (values->StringToSymbol(state_.name, &handler) != kMoaErr_NoErr) return;
  MoaMmValue args[3] = {*id.get(), *reports.get(), *info.get()};
  if (instance_.fileLogOn) {
    // As other handler calls are logged, but the reports by their count.
    const MoaMmValue logged[2] = {*id.get(), *info.get()};
    services_.LogCallbackArguments(2, logged);
  }
  script_.ExecutionFlow("InputCall", "Enter", 50);
  state_.lent = copied_;
  const uint32_t resets = state_.resets;
  HostValue answer(values);
  const MoaError called = services_.player()->CallHandler(handler, 3, args, answer.out());
  if (called == kMoaErr_NoErr) SettleLentInput(instance_);
  state_.lent = {};
  script_.ExecutionFlow("InputCall", "Exit", 50);
  if (called != kMoaErr_NoErr) {
    // Not delivered: the reports stay for the next call or a read.
    TellOnce(state_.toldUnknown, std::string("The input handler ") + state_.name +
                                     " could not be called; reports stay buffered until SetInputHandler names another");
    return;
  }
  // A handler that named another handler or mode has started it afresh.
  if (state_.resets != resets) return;
  state_.heard = std::move(heard_);
  state_.reportsSinceCall = 0;
  state_.droppedBefore = droppedTold_;
}

}  // namespace

bool InputHandlerListens(const XtraInstance& instance) {
  const InputHandlerState& state = instance.input;
  // A handler the movie lacks is not asked for again at every idle.
  return state.name[0] && !state.toldUnknown && instance.device && instance.device->IsOpen();
}

void DeliverInput(XtraInstance& instance) {
  if (instance.forgetPending || !instance.device || !instance.hostServices) return;
  if (!instance.hostServices->values() || !instance.hostServices->player()) return;
  // A closed or another device: its first report is told in full.
  InputHandlerState& state = instance.input;
  if (!instance.device->IsOpen() || state.heardSession != instance.device->DeviceSession()) {
    state.heard.clear();
    state.heardSession = instance.device->DeviceSession();
  }
  const ScriptObject script(instance);
  if (!script.get()) return;
  if (InputHandlerListens(instance)) {
    InputCall call(instance, *script.get());
    HostValue reports(instance.hostServices->values());
    if (call.Gather(reports)) call.Make(reports);
  }
  if (!instance.forgetPending) ReportReaderTrouble(instance, *script.get());
}

void SettleLentInput(XtraInstance& instance) {
  InputHandlerState& state = instance.input;
  if (!state.lent.packets || !instance.device) return;
  instance.device->input().Remove(state.lent);
  state.lent = {};
}

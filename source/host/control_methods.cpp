// The Lingo methods that read and write the open collection's controls by
// name: the list of controls, a report decoded, an output report and a
// feature report composed from named values.
#include <string>
#include <vector>

#include "controls/usage_names.h"
#include "device/usb_class_base.h"
#include "host/decoded_lists.h"
#include "host/device_answers.h"
#include "host/methods.h"
#include "values/host_services.h"
#include "values/list_builder.h"

namespace {

// Room for any name a control or usage has.
constexpr size_t kNameSize = 64;

using Shape = ListBuilder::Shape;

bool Given(const CallContext& context, int index) {
  return index < context.call.nargs && !context.ArgumentIs(index, kMoaMmValueType_Void);
}

bool KindArgument(CallContext& context, int index, ControlKind* kind) {
  char name[kNameSize] = "";
  if (context.ArgumentIs(index, kMoaMmValueType_Symbol) &&
      context.instance.hostServices->NameOf(context.call.pArgs[index], name, sizeof name)) {
    for (ControlKind known : {ControlKind::Input, ControlKind::Output, ControlKind::Feature}) {
      if (SameName(name, KindName(known))) {
        *kind = known;
        return true;
      }
    }
  }
  context.AnswerError("kind must be #input, #output or #feature");
  return false;
}

void AddControl(ListBuilder& list, const Control& control) {
  list.Open(Shape::PropList);
  list.Symbol("Name", control.name.c_str());
  list.Symbol("Kind", KindName(control.kind));
  list.Integer("ReportID", control.reportId);
  list.Integer("UsagePage", control.usagePage);
  list.Integer("Usage", control.usage);
  if (control.type == ControlType::Array) list.Integer("UsageMax", control.usageMax);
  list.Symbol("Type", TypeName(control.type));
  if (control.type != ControlType::Array) {
    list.Integer("LogicalMin", control.logicalMin);
    list.Integer("LogicalMax", control.logicalMax);
    list.Integer("Bits", control.bits);
  }
  list.Integer("Count", control.count);
  list.Integer("Collection", control.collection);
  list.Close();
}

// The bytes of a report as ReadPacket and GetFeatureReport answer it: a
// list of integers from 0 to 255.
bool ReportArgument(CallContext& context, int index, std::vector<uint8_t>& bytes) {
  HostServices& services = *context.instance.hostServices;
  if (!context.ArgumentIs(index, kMoaMmValueType_List)) {
    context.AnswerError("report must be a list of bytes, as ReadPacket answers it");
    return false;
  }
  const MoaMmValue& list = context.call.pArgs[index];
  const MoaLong count = services.lists()->CountElements(&list);
  for (MoaLong position = 1; position <= count; ++position) {
    HostValue element(services.values());
    MoaLong type = kMoaMmValueType_Void;
    MoaLong number = -1;
    if (services.lists()->GetValueByIndex(&list, position, element.out()) == kMoaErr_NoErr)
      services.values()->ValueType(element.get(), &type);
    if (type == kMoaMmValueType_Integer) services.values()->ValueToInteger(element.get(), &number);
    if (number < 0 || number > 255) {
      const std::string message = "report must be a list of bytes: item " + std::to_string(position) +
                                  " is not an integer from 0 to 255";
      context.AnswerError(message.c_str());
      return false;
    }
    bytes.push_back(static_cast<uint8_t>(number));
  }
  return true;
}

// [#LEDNumLock: 1, #Keyboard: [#KeyA]]: integers, or lists of usage names.
bool ValuesArgument(CallContext& context, int index, std::vector<NamedValue>& values) {
  HostServices& services = *context.instance.hostServices;
  IMoaMmList& lists = *services.lists();
  if (!context.ArgumentIs(index, kMoaMmValueType_PropList)) {
    context.AnswerError("values must be a property list, such as [#Button1: 1]");
    return false;
  }
  const MoaMmValue& properties = context.call.pArgs[index];
  const MoaLong count = lists.CountElements(&properties);
  for (MoaLong position = 1; position <= count; ++position) {
    HostValue key(services.values());
    HostValue value(services.values());
    char name[kNameSize] = "";
    if (lists.GetPropertyNameByIndex(&properties, position, key.out()) != kMoaErr_NoErr ||
        !services.NameOf(*key.get(), name, sizeof name) ||
        lists.GetValueByIndex(&properties, position, value.out()) != kMoaErr_NoErr) {
      context.AnswerError("the keys of values must name controls, such as #Button1");
      return false;
    }
    NamedValue named;
    named.name = name;
    MoaLong type = kMoaMmValueType_Void;
    services.values()->ValueType(value.get(), &type);
    bool fits = type == kMoaMmValueType_Integer || type == kMoaMmValueType_List;
    if (type == kMoaMmValueType_Integer) {
      MoaLong number = 0;
      services.values()->ValueToInteger(value.get(), &number);
      named.number = number;
    } else if (type == kMoaMmValueType_List) {
      named.isList = true;
      const MoaLong usages = lists.CountElements(value.get());
      for (MoaLong at = 1; at <= usages && fits; ++at) {
        HostValue usage(services.values());
        char usageName[kNameSize] = "";
        fits = lists.GetValueByIndex(value.get(), at, usage.out()) == kMoaErr_NoErr &&
               services.NameOf(*usage.get(), usageName, sizeof usageName);
        named.usages.push_back(usageName);
      }
    }
    if (!fits) {
      const std::string message = "#" + named.name + " must be an integer, or a list of usages such as [#KeyA]";
      context.AnswerError(message.c_str());
      return false;
    }
    values.push_back(std::move(named));
  }
  return true;
}

}  // namespace

void HandleGetControls(CallContext& context) {
  ControlKind only = ControlKind::Input;
  const bool oneKind = Given(context, 1);
  if (oneKind && !KindArgument(context, 1, &only)) return;
  std::vector<Control> controls;
  XtraResult listed;
  listed.Clear();
  for (ControlKind kind : {ControlKind::Input, ControlKind::Output, ControlKind::Feature}) {
    if (oneKind && kind != only) continue;
    listed = context.instance.device->ListControls(kind, controls);
    if (listed.isError) break;
  }
  if (listed.isError) controls.clear();
  ListBuilder list(*context.instance.hostServices, Shape::List);
  for (const Control& control : controls) AddControl(list, control);
  // Without an open device the answer is still a list, and the movie hears why.
  if (AnsweredList(context, list.HandTo(&context.call.resultValue), "controls")) context.ReportBesideAnswer(listed, CallContext::Box::None);
}

void HandleDecodeReport(CallContext& context) {
  std::vector<uint8_t> bytes;
  ControlKind kind = ControlKind::Input;
  if (!ReportArgument(context, 1, bytes) || (Given(context, 2) && !KindArgument(context, 2, &kind))) return;
  DecodedReport decoded;
  context.StoreResult(context.instance.device->DecodeReport(kind, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                                            decoded));
  if (context.instance.lastResult.isError) return context.AnswerStatus();
  ListBuilder list(*context.instance.hostServices, Shape::PropList);
  AddDecodedReport(list, decoded);
  AnsweredList(context, list.HandTo(&context.call.resultValue), "controls");
}

void HandleWriteUsages(CallContext& context) {
  std::vector<NamedValue> values;
  if (!ValuesArgument(context, 1, values)) return;
  UsbClassBase& device = *context.instance.device;
  std::vector<uint8_t> report;
  context.StoreResult(device.ComposeOutputReport(values, report));
  if (context.instance.lastResult.isError) return context.AnswerStatus();
  const auto payload = static_cast<uint32_t>(report.size() - 1);
  int32_t sent = 0;
  context.StoreResult(device.WriteReport(report[0], report.data() + 1, payload, &sent));
  if (context.instance.lastResult.isError) return context.AnswerStatus();
  context.AnswerSent(payload, sent);
}

void HandleSetFeatureUsages(CallContext& context) {
  std::vector<NamedValue> values;
  if (!ValuesArgument(context, 1, values)) return;
  context.StoreResult(context.instance.device->SetFeatureUsages(values));
  if (!context.instance.lastResult.isError) context.instance.lastResult.SetOk();
  context.AnswerStatus();
}

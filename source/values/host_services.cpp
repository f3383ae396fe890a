#include "values/host_services.h"

HostServices::HostServices(IMoaCallback* callback) : callback_(callback) {
  result_.Clear();
  BindHost();
}

HostServices::~HostServices() {
  callbacks_.DropAll();
  ReleaseHost();
}

template <class Service>
Service* HostServices::Acquire(const MoaID& iid) {
  void* service = nullptr;
  if (callback_->QueryInterface(&iid, &service) != kMoaErr_NoErr) return nullptr;
  return static_cast<Service*>(service);
}

XtraResult HostServices::BindHost() {
  XtraResult result;
  result.Clear();
  if (!callback_) return result;
  values_ = Acquire<IMoaMmValue>(IID_IMoaMmValue);
  lists_ = Acquire<IMoaMmList>(IID_IMoaMmList);
  player_ = Acquire<IMoaDrPlayer>(IID_IMoaDrPlayer);
  notification_ = Acquire<IMoaNotification>(IID_IMoaNotification);
  windows_ = Acquire<IMoaMmWndWin>(IID_IMoaMmWndWin);
  return result;
}

void HostServices::BindMovieContext() {
  if (movieContext_ || !player_) return;
  IMoaUnknown* movie = nullptr;
  if (player_->GetActiveMovie(&movie) != kMoaErr_NoErr || !movie) return;
  void* context = nullptr;
  if (movie->QueryInterface(&IID_IMoaDrMovieContext, &context) == kMoaErr_NoErr)
    movieContext_ = static_cast<IMoaDrMovieContext*>(context);
  movie->Release();
}

namespace {

template <class Service>
void ReleaseService(Service*& service) {
  if (service) service->Release();
  service = nullptr;
}

}  // namespace

XtraResult HostServices::ReleaseHost() {
  ReleaseService(movieContext_);
  ReleaseService(windows_);
  ReleaseService(values_);
  ReleaseService(lists_);
  ReleaseService(player_);
  ReleaseService(notification_);
  XtraResult result;
  result.Clear();
  return result;
}

MoaError HostServices::MakeSymbol(const char* name, MoaMmValue* out) {
  if (!values_) return kMoaErr_BadInterface;
  MoaMmSymbol symbol = 0;
  MoaError status = values_->StringToSymbol(name, &symbol);
  if (status != kMoaErr_NoErr) return status;
  return values_->SymbolToValue(symbol, out);
}

bool HostServices::ValueText(const MoaMmValue* value, char* buffer, size_t size) {
  const bool given = values_ && values_->ValueToString(value, buffer, static_cast<MoaLong>(size)) == kMoaErr_NoErr;
  if (!given) buffer[0] = '\0';
  buffer[size - 1] = '\0';
  return given;
}

bool HostServices::NameOf(const MoaMmValue& value, char* buffer, size_t size) {
  MoaLong type = kMoaMmValueType_Void;
  if (values_) values_->ValueType(&value, &type);
  if (type == kMoaMmValueType_String) return ValueText(&value, buffer, size);
  MoaMmSymbol symbol = 0;
  const bool named = type == kMoaMmValueType_Symbol && values_->ValueToSymbol(&value, &symbol) == kMoaErr_NoErr &&
                     values_->SymbolToString(symbol, buffer, static_cast<MoaLong>(size)) == kMoaErr_NoErr;
  if (!named) buffer[0] = '\0';
  buffer[size - 1] = '\0';  // a host that cuts the name may not end it
  return named;
}

bool HostServices::ValueString(const MoaMmValue* value, std::string& text) {
  text.clear();
  MoaLong length = 0;
  if (!values_ || values_->ValueStringLength(value, &length) != kMoaErr_NoErr || length < 0) return false;
  // Director asks for room for the terminator as well.
  text.resize(static_cast<size_t>(length) + 1);
  if (values_->ValueToString(value, &text[0], length + 1) != kMoaErr_NoErr) {
    text.clear();
    return false;
  }
  text[static_cast<size_t>(length)] = '\0';  // a host that fills the buffer may not end it
  text.resize(std::char_traits<char>::length(text.c_str()));
  return true;
}

MoaError HostServices::NewPropList(MoaMmValue* out) {
  *out = kVoidMoaMmValue;
  return lists_ ? lists_->NewPropListValue(out) : kMoaErr_BadInterface;
}

MoaError HostServices::AddProperty(MoaMmValue* propList, const MoaMmValue* key, const MoaMmValue* item) {
  return lists_ ? lists_->AppendValueToPropList(propList, key, item) : kMoaErr_BadInterface;
}

MoaError HostServices::AddValueProperty(MoaMmValue* propList, const char* name, const MoaMmValue* item) {
  HostValue key(values_);
  const MoaError status = MakeSymbol(name, key.out());
  return status == kMoaErr_NoErr ? AddProperty(propList, key.get(), item) : status;
}

MoaError HostServices::AddIntegerProperty(MoaMmValue* propList, const char* name, int32_t number) {
  if (!values_) return kMoaErr_BadInterface;
  HostValue item(values_);
  values_->IntegerToValue(number, item.out());
  return AddValueProperty(propList, name, item.get());
}

MoaError HostServices::AddStringProperty(MoaMmValue* propList, const char* name, const char* text) {
  if (!values_) return kMoaErr_BadInterface;
  HostValue item(values_);
  values_->StringToValue(text, item.out());
  return AddValueProperty(propList, name, item.get());
}

#include "values/host_services.h"

HostServices::HostServices(IMoaCallback* callback) : callback_(callback) {
  result_.Clear();
  BindHost();
}

HostServices::~HostServices() {
  callbacks_.DropAll(values_);
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
  idle_ = Acquire<IMoaUnknown>(IID_IMoaIdle);
  values_ = Acquire<IMoaMmValue>(IID_IMoaMmValue);
  lists_ = Acquire<IMoaMmList>(IID_IMoaMmList);
  player_ = Acquire<IMoaMmPlayer>(IID_IMoaMmPlayer);
  notification_ = Acquire<IMoaNotification>(IID_IMoaNotification);
  if (player_ && player_->GetActiveMovie(&movie_) == kMoaErr_NoErr && movie_) {
    void* extension = nullptr;
    if (movie_->QueryInterface(&IID_IMoaDrMovie2, &extension) == kMoaErr_NoErr)
      movieExtension_ = static_cast<IMoaUnknown*>(extension);
  }
  mainWindow_ = nullptr;
  utils_ = Acquire<IMoaMmUtils>(IID_IMoaMmUtils);
  if (utils_) utils_->GetMainWindow(&mainWindow_);
  return result;
}

namespace {

template <class Service>
void ReleaseService(Service*& service) {
  if (service) service->Release();
  service = nullptr;
}

}  // namespace

XtraResult HostServices::ReleaseHost() {
  ReleaseService(movie_);
  ReleaseService(movieExtension_);
  ReleaseService(idle_);
  ReleaseService(utils_);
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

MoaError HostServices::AddProperty(MoaMmValue* propList, const MoaMmValue* key, const MoaMmValue* item) {
  if (!values_ || !lists_) return kMoaErr_BadInterface;
  MoaLong type = kMoaMmValueType_Void;
  values_->ValueType(propList, &type);
  if (type == kMoaMmValueType_Void) lists_->NewPropListValue(propList);
  return lists_->AppendValueToPropList(propList, key, item);
}

MoaError HostServices::AddValueProperty(MoaMmValue* propList, const char* name, const MoaMmValue* item) {
  MoaMmValue key{};
  MoaError status = MakeSymbol(name, &key);
  if (status != kMoaErr_NoErr) return status;
  status = AddProperty(propList, &key, item);
  values_->ValueRelease(&key);
  return status;
}

MoaError HostServices::AddIntegerProperty(MoaMmValue* propList, const char* name, int32_t number) {
  if (!values_) return kMoaErr_BadInterface;
  MoaMmValue item{};
  values_->IntegerToValue(number, &item);
  const MoaError status = AddValueProperty(propList, name, &item);
  values_->ValueRelease(&item);
  return status;
}

MoaError HostServices::AddStringProperty(MoaMmValue* propList, const char* name, const char* text) {
  if (!values_) return kMoaErr_BadInterface;
  MoaMmValue item{};
  values_->StringToValue(text, &item);
  const MoaError status = AddValueProperty(propList, name, &item);
  values_->ValueRelease(&item);
  return status;
}

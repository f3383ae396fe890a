#include "values/result_list_builder.h"

#include <new>

#include "values/host_services.h"

ResultListBuilder::ResultListBuilder(IMoaCallback* callback, MoaMmValue* target)
    : services_(new (std::nothrow) HostServices(callback)), target_(target) {
  result_.Clear();
  if (services_ && services_->values()) lists_ = services_->lists();
  // Without a list nothing can be built, and nothing is answered.
  if (lists_ && lists_->NewListValue(&list_) != kMoaErr_NoErr) lists_ = nullptr;
  result_.SetOk();
}

ResultListBuilder::~ResultListBuilder() {
  Finish();
  delete services_;
}

MoaError ResultListBuilder::Finish() {
  if (finished_ || !lists_) return status_;
  finished_ = true;
  if (pendingItem_) EndItem();
  if (status_ == kMoaErr_NoErr)
    *target_ = list_;
  else
    services_->values()->ValueRelease(&list_);
  return status_;
}

void ResultListBuilder::Check(MoaError status) {
  if (status_ == kMoaErr_NoErr) status_ = status;
}

XtraResult ResultListBuilder::BeginItem() {
  result_.SetOk();
  if (pendingItem_) EndItem();
  if (!lists_) return result_;
  pendingItem_ = new (std::nothrow) MoaMmValue(kVoidMoaMmValue);
  if (!pendingItem_) {
    result_.SetError("Out of memory", XtraResult::kNoCode);
    return result_;
  }
  Check(lists_->NewPropListValue(pendingItem_));
  return result_;
}

XtraResult ResultListBuilder::AddInteger(const char* name, int32_t number) {
  result_.SetOk();
  if (!pendingItem_) BeginItem();
  if (pendingItem_) Check(services_->AddIntegerProperty(pendingItem_, name, number));
  return result_;
}

XtraResult ResultListBuilder::AddString(const char* name, const char* text) {
  result_.SetOk();
  if (!pendingItem_) BeginItem();
  if (pendingItem_) Check(services_->AddStringProperty(pendingItem_, name, text));
  return result_;
}

XtraResult ResultListBuilder::EndItem() {
  result_.SetOk();
  if (!pendingItem_) return result_;
  Check(lists_->AppendValueToList(&list_, pendingItem_));
  services_->values()->ValueRelease(pendingItem_);
  delete pendingItem_;
  pendingItem_ = nullptr;
  return result_;
}

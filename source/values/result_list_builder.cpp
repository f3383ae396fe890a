#include "values/result_list_builder.h"

#include <new>

#include "values/host_services.h"

ResultListBuilder::ResultListBuilder(IMoaCallback* callback, MoaMmValue* target)
    : services_(new (std::nothrow) HostServices(callback)), target_(target) {
  result_.Clear();
  if (services_ && services_->values()) lists_ = services_->lists();
  // Without a list nothing can be built, and nothing is answered.
  if (lists_) {
    list_ = HostValue(services_->values());
    pendingItem_ = HostValue(services_->values());
    if (lists_->NewListValue(list_.out()) != kMoaErr_NoErr) lists_ = nullptr;
  }
  result_.SetOk();
}

ResultListBuilder::~ResultListBuilder() {
  Finish();
  // The values go back to the host before its services do.
  list_.reset();
  pendingItem_.reset();
  delete services_;
}

MoaError ResultListBuilder::Finish() {
  if (finished_ || !lists_) return status_;
  finished_ = true;
  if (itemPending_) EndItem();
  if (status_ == kMoaErr_NoErr) *target_ = list_.release();
  list_.reset();
  return status_;
}

void ResultListBuilder::Check(MoaError status) {
  if (status_ == kMoaErr_NoErr) status_ = status;
}

XtraResult ResultListBuilder::BeginItem() {
  result_.SetOk();
  if (itemPending_) EndItem();
  if (!lists_) return result_;
  itemPending_ = true;
  Check(lists_->NewPropListValue(pendingItem_.out()));
  return result_;
}

XtraResult ResultListBuilder::AddInteger(const char* name, int32_t number) {
  result_.SetOk();
  if (!itemPending_) BeginItem();
  if (itemPending_) Check(services_->AddIntegerProperty(pendingItem_.get(), name, number));
  return result_;
}

XtraResult ResultListBuilder::AddString(const char* name, const char* text) {
  result_.SetOk();
  if (!itemPending_) BeginItem();
  if (itemPending_) Check(services_->AddStringProperty(pendingItem_.get(), name, text));
  return result_;
}

XtraResult ResultListBuilder::EndItem() {
  result_.SetOk();
  if (!itemPending_) return result_;
  Check(lists_->AppendValueToList(list_.get(), pendingItem_.get()));
  pendingItem_.reset();
  itemPending_ = false;
  return result_;
}

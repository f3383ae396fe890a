#include "host_list_work.h"

#include <stdexcept>

using namespace director;

namespace {

template <class Service>
Service* Ask(DirectorHost& host, const MoaID& iid) {
  void* service = nullptr;
  if (static_cast<xtra_view::IMoaCallback*>(host.callback().door())->QueryInterface(&iid, &service) != kMoaErr_NoErr)
    throw std::runtime_error("the host offers no list or value service");
  return static_cast<Service*>(service);
}

}  // namespace

HostListWork::HostListWork(DirectorHost& host)
    : values_(Ask<xtra_view::IMoaMmValue>(host, IID_IMoaMmValue)),
      lists_(Ask<xtra_view::IMoaMmList>(host, IID_IMoaMmList)) {}

HostListWork::~HostListWork() {
  lists_->Release();
  values_->Release();
}

void HostListWork::BuildAndRelease(const std::uint8_t* bytes, int count) {
  MoaMmValue list = kVoidMoaMmValue;
  lists_->NewListValue(&list);
  for (int i = 0; i < count; ++i) {
    MoaMmValue item = kVoidMoaMmValue;
    values_->IntegerToValue(bytes[i], &item);
    lists_->AppendValueToList(&list, &item);
    values_->ValueRelease(&item);
  }
  values_->ValueRelease(&list);
}

long HostListWork::SumIntegers(const MoaMmValue& list) {
  MoaLong type = 0;
  values_->ValueType(&list, &type);
  long sum = 0;
  const MoaLong count = lists_->CountElements(&list);
  for (MoaLong position = 1; position <= count; ++position) {
    MoaMmValue item = kVoidMoaMmValue;
    lists_->GetValueByIndex(&list, position, &item);
    MoaLong number = 0;
    values_->ValueType(&item, &type);
    values_->ValueToInteger(&item, &number);
    values_->ValueRelease(&item);
    sum += number;
  }
  return sum;
}

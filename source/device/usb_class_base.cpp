#include "device/usb_class_base.h"

UsbClassBase::UsbClassBase() {
  result.Clear();
  result.SetOk();
}

UsbClassBase::~UsbClassBase() { result.SetOk(); }

bool UsbClassBase::IsOpen() { return listening; }

void UsbClassBase::Reserved() {}

XtraResult UsbClassBase::GetCapabilities(CollectionCapabilities& out) {
  result.SetOk();
  out = caps;
  return result;
}

void UsbClassBase::NoteReaderFailure(uint32_t error, bool ended) {
  (ended ? readerEnd_ : readerTrouble_) = error;
  if (ended) readerEnded_ = true;
}

void UsbClassBase::ForgetPreviousDevice() {
  ++session_;
  readerTrouble_ = 0;
  readerEnd_ = 0;
  readerEnded_ = false;
}

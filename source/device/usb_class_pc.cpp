#include "device/usb_class_pc.h"

#include <new>

#include "device/reader_pool.h"

UsbClassBase* UsbClassBase::Make() { return new (std::nothrow) UsbClassPC(); }

bool UsbClassBase::ThreadsRunning() { return reader_pool::LiveThreads() != 0; }

UsbClassPC::UsbClassPC() { reader_pool::AddOwner(); }

// After Close, which lets go of the reader: its thread may still park, and
// the last device object waits for it to end.
UsbClassPC::~UsbClassPC() {
  Close();
  reader_pool::RemoveOwner();
}

bool UsbClassPC::IsOpen() { return static_cast<bool>(deviceHandle); }

XtraResult UsbClassPC::IdleHook1() {
  result.SetOk();
  return result;
}

XtraResult UsbClassPC::IdleHook2() {
  result.SetOk();
  return result;
}

#include "device/usb_class_pc.h"

#include <new>

UsbClassBase* UsbClassBase::Make() { return new (std::nothrow) UsbClassPC(); }

bool UsbClassBase::ThreadsRunning() { return ReaderThread::LiveThreads() != 0; }

UsbClassPC::~UsbClassPC() { Close(); }

bool UsbClassPC::IsOpen() { return static_cast<bool>(deviceHandle); }

XtraResult UsbClassPC::IdleHook1() {
  result.SetOk();
  return result;
}

XtraResult UsbClassPC::IdleHook2() {
  result.SetOk();
  return result;
}

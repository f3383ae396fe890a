#include "device/usb_class_pc.h"

UsbClassPC::~UsbClassPC() { Close(); }

bool UsbClassPC::IsOpen() { return deviceHandle != nullptr; }

XtraResult UsbClassPC::IdleHook1() {
  result.SetOk();
  return result;
}

XtraResult UsbClassPC::IdleHook2() {
  result.SetOk();
  return result;
}

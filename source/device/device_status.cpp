// What GetStatus and GetDeviceInfo tell of the open device.
#include "device/usb_class_pc.h"

bool UsbClassPC::GetOpenCollection(HidCollectionInfo& out) const {
  if (!deviceHandle || !openCollection) return false;
  out = *openCollection;
  return true;
}

// The reader learns of a removal only from a read; asking the device itself
// also serves opens without a reader.
bool UsbClassPC::IsConnected() {
  if (!deviceHandle || ReaderHasEnded()) return false;
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  return HidD_GetAttributes(deviceHandle.get(), &attributes) != FALSE;
}

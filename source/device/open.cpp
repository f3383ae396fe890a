// Opening a device: find it, take over the handle the search kept on it,
// read its capabilities, and start its reader.
#include <algorithm>
#include <string>

#include "device/collection_description.h"
#include "device/usb_class_pc.h"
#include "diagnostics/system_message.h"

XtraResult UsbClassPC::OpenByID(int32_t vendorId, int32_t productId) {
  DeviceSearch search;
  search.mode = SearchMode::MatchIds;
  search.vendorId = vendorId;
  search.productId = productId;
  return Open(search, "Open failed - did not find device that matched the vendor/product ids");
}

XtraResult UsbClassPC::OpenByProductName(const WCHAR* name) {
  DeviceSearch search;
  search.mode = SearchMode::MatchProductName;
  const size_t length = std::char_traits<WCHAR>::length(name);
  std::char_traits<WCHAR>::copy(search.name, name, std::min<size_t>(length, UsbDeviceInfo::kStringUnits - 1));
  return Open(search, "Open failed - did not find device that matched the product name");
}

XtraResult UsbClassPC::Open(DeviceSearch& search, const char* notFoundMessage) {
  result.SetOk();
  // Also what an earlier open left behind when it failed after its match.
  if (listening || deviceHandle) Close();
  ForgetReaderFailures();
  result = EnumerateDevices(search);
  if (result.isError) return result;
  if (!search.found) {
    result.SetError(notFoundMessage, XtraResult::kNoCode);
    return result;
  }
  return Listen(std::move(search.found), OpenMode::Shared);
}

XtraResult UsbClassPC::Listen(ScopedHandle handle, OpenMode mode) {
  deviceHandle = std::move(handle);
  openMode = mode;
  result = ReadCapabilities(deviceHandle.get(), caps);
  if (result.isError) return result;
  HidCollectionInfo described;
  if (DescribeDevice(deviceHandle.get(), devicePath.c_str(), described)) {
    described.caps = caps;
    described.systemOwned = mode == OpenMode::QueryOnly;
    openCollection = std::move(described);
  }
  // What Windows keeps to itself cannot be read.
  if (mode != OpenMode::QueryOnly) {
    reader = ReaderThread::Prepare(*this, devicePath, caps.InputReportByteLength, mode == OpenMode::Exclusive,
                                   result);
    if (!reader) return result;
  }
  output = OutputReport::Make(caps.OutputReportByteLength);
  if (!output) {
    SetFixedError(result, "Could not create an event", GetLastError());
    return result;
  }
  if (reader) listening = reader->Start(result);
  return result;
}

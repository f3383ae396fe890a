// Opening a device: find it, read its capabilities, open the reader's
// handle, make the events and start the reader.
#include <algorithm>
#include <string>

#include "device/usb_class_pc.h"
#include "diagnostics/bounded_text.h"

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
  deviceHandle = search.found;
  openMode = OpenMode::Shared;
  return Listen();
}

XtraResult UsbClassPC::Listen() {
  result.SetOk();
  if (QueryCapabilities().isError) return result;
  HidCollectionInfo described;
  if (DescribeDevice(deviceHandle, devicePath.c_str(), described)) {
    described.caps = caps;
    described.systemOwned = openMode == OpenMode::QueryOnly;
    openCollection = std::move(described);
  }
  // What Windows keeps to itself cannot be read.
  const bool reads = openMode != OpenMode::QueryOnly;
  if (reads) {
    if (PrepareForRead().isError) return result;
    if (!reader->MakeStopEvent()) {
      result.SetError("Listen could not create stop event", XtraResult::kNoCode);
      return result;
    }
  }
  output = OutputReport::Make(outputReportLength);
  if (!output) {
    result.SetError("Could not create an event", XtraResult::kNoCode);
    return result;
  }
  return reads ? StartReaderThread() : result;
}

XtraResult UsbClassPC::QueryCapabilities() {
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(deviceHandle, &preparsed)) {
    result.SetError("Failed to get device parsed data", static_cast<int32_t>(GetLastError()));
    return result;
  }
  HIDP_CAPS queried{};
  // HidP_GetCaps tells why in its status and leaves the last error alone.
  const NTSTATUS status = HidP_GetCaps(preparsed, &queried);
  if (status != HIDP_STATUS_SUCCESS) {
    result.SetError("Failed to get device capabilities", static_cast<int32_t>(status));
  } else {
    caps = queried;
    inputReportLength = caps.InputReportByteLength;
    outputReportLength = caps.OutputReportByteLength;
  }
  HidD_FreePreparsedData(preparsed);
  return result;
}

XtraResult UsbClassPC::PrepareForRead() {
  result.SetOk();
  if (!deviceHandle) {
    result.SetError("Cannot prepare for read when device is not open", XtraResult::kNoCode);
    return result;
  }
  reader = new ReaderThread(*this, inputReportLength);
  if (!reader->OpenFile(devicePath, openMode == OpenMode::Exclusive)) {
    result.SetError("Could not open an input pipe", XtraResult::kNoCode);
    return result;
  }
  if (!reader->MakeReadEvent()) result.SetError("Could not create an event", XtraResult::kNoCode);
  return result;
}

XtraResult UsbClassPC::StartReaderThread() {
  if (!reader->Start()) {
    // An open that reports success with no reader would leave the movie
    // waiting for reports that never come.
    result.SetError("Could not start the reader thread", static_cast<int32_t>(GetLastError()));
    return result;
  }
  listening = true;
  return result;
}

XtraResult UsbClassPC::GetCapabilities(HIDP_CAPS& out) {
  result.SetOk();
  out = caps;
  return result;
}

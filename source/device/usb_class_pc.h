// The device object on Windows: the setup API and HID library find and
// describe devices, kernel file handles and events carry the reports.
#pragma once

#include <memory>
#include <string>

#include "device/output_report.h"
#include "device/reader_thread.h"
#include "device/usb_class_base.h"

enum class SearchMode { ListAll, MatchIds, MatchProductName };

// What one walk over the present HID interfaces looks for.
struct DeviceSearch {
  SearchMode mode = SearchMode::ListAll;
  int32_t vendorId = 0;
  int32_t productId = 0;
  WCHAR name[UsbDeviceInfo::kStringUnits] = {};
  DeviceList* list = nullptr;
  HANDLE found = nullptr;  // kept open on the matched device
};

class UsbClassPC : public UsbClassBase {
 public:
  UsbClassPC() = default;
  ~UsbClassPC() override;

  XtraResult OpenByID(int32_t vendorId, int32_t productId) override;
  XtraResult OpenByProductName(const WCHAR* name) override;
  bool IsOpen() override;
  XtraResult Close() override;
  XtraResult Write(const uint8_t* bytes, uint32_t length, int32_t* sent) override;
  XtraResult FindDevices(DeviceList& list) override;
  XtraResult IdleHook1() override;
  XtraResult IdleHook2() override;

  // The capabilities of the last device opened (all zero before the first).
  XtraResult GetCapabilities(HIDP_CAPS& out);
  // How long Write waits for the device before it gives up; 0: no limit.
  void SetWriteTimeout(DWORD milliseconds) { writeTimeoutMs = milliseconds; }

 private:
  XtraResult EnumerateDevices(DeviceSearch& search);
  XtraResult Open(DeviceSearch& search, const char* notFoundMessage);
  XtraResult Listen();
  XtraResult QueryCapabilities();
  XtraResult PrepareForRead();
  XtraResult StartReaderThread();
  void ReleaseOutput();

  // Opened overlapped, for the writes; the reader has a handle of its own.
  HANDLE deviceHandle = nullptr;
  ReaderThread* reader = nullptr;  // one reference
  std::unique_ptr<OutputReport> output;
  std::string devicePath;
  uint32_t inputReportLength = 0;
  uint32_t outputReportLength = 0;
  HIDP_CAPS caps{};
  DWORD writeTimeoutMs = 1000;
};

// The device object on Windows: the setup API and HID library find and
// describe devices, kernel file handles and events carry the reports.
#pragma once

#include <atomic>
#include <string>

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
  // Why the reader stopped before Close (0: it did not), since the last call.
  DWORD TakeReaderFailure() { return readerFailure.exchange(0); }

 private:
  XtraResult EnumerateDevices(DeviceSearch& search);
  XtraResult Open(DeviceSearch& search, const char* notFoundMessage);
  XtraResult Listen();
  XtraResult QueryCapabilities();
  XtraResult PrepareForRead();
  XtraResult StartReaderThread();
  void StopReaderThread();
  static DWORD WINAPI ReaderThreadEntry(LPVOID device);
  void ReaderThread();

  HANDLE deviceHandle = nullptr;
  HANDLE inputHandle = nullptr;
  HANDLE readEvent = nullptr;
  HANDLE stopEvent = nullptr;
  OVERLAPPED readOverlapped{};
  std::string devicePath;
  uint32_t inputReportLength = 0;
  uint32_t outputReportLength = 0;
  std::vector<uint8_t> writeBuffer;
  HIDP_CAPS caps{};
  std::atomic<bool> keepReading{false};
  HANDLE readerThread = nullptr;
  std::atomic<DWORD> readerFailure{0};
};

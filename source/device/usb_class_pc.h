// The device object on Windows: the setup API and HID library find and
// describe devices, kernel file handles and events carry the reports.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/hid_collection_info.h"
#include "device/output_report.h"
#include "device/reader_thread.h"
#include "device/usb_class_base.h"

enum class SearchMode { ListCollections, MatchIds, MatchProductName };

// What one walk over the present HID interfaces looks for.
struct DeviceSearch {
  SearchMode mode = SearchMode::ListCollections;
  int32_t vendorId = 0;
  int32_t productId = 0;
  WCHAR name[UsbDeviceInfo::kStringUnits] = {};
  std::vector<HidCollectionInfo>* collections = nullptr;
  HANDLE found = nullptr;  // kept open on the matched device
};

// How the open device's handles hold it.
enum class OpenMode {
  Shared,
  // No other handle may read or write it.
  Exclusive,
  // Windows keeps it to itself: opened without read or write access, for its
  // description and feature reports only.
  QueryOnly,
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

  // Every HID collection present, as FindHidDevices lists them.
  XtraResult FindCollections(std::vector<HidCollectionInfo>& list);
  // Opens exactly the collection at `path`, as the other opens do after
  // their match; one that Windows keeps to itself opens for queries only,
  // unless `exclusive` asks for more than Windows grants.
  XtraResult OpenByPath(const char* path, bool exclusive);
  // The open collection as FindCollections describes it; false when none is.
  bool GetOpenCollection(HidCollectionInfo& out) const;
  // False once the open device is gone, or when none is open.
  bool IsConnected();

  // Reports of a given ID over each way Windows offers. Sent reports are
  // laid out as Write lays them out, with `reportId` in byte 0; the sent
  // count is the report's length. Fetched reports are appended whole.
  XtraResult WriteReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent);
  XtraResult SendOutputReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent);
  XtraResult SetFeatureReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent);
  XtraResult GetFeatureReport(uint8_t reportId, ByteList& out);
  XtraResult GetInputReport(uint8_t reportId, ByteList& out);

  // The capabilities of the last device opened (all zero before the first).
  XtraResult GetCapabilities(HIDP_CAPS& out);
  // How long Write waits for the device before it gives up; 0: no limit.
  void SetWriteTimeout(DWORD milliseconds) { writeTimeoutMs = milliseconds; }

 private:
  using ReportFunction = BOOLEAN(WINAPI*)(HANDLE, PVOID, ULONG);

  XtraResult EnumerateDevices(DeviceSearch& search);
  XtraResult Open(DeviceSearch& search, const char* notFoundMessage);
  XtraResult Listen();
  XtraResult QueryCapabilities();
  XtraResult PrepareForRead();
  XtraResult StartReaderThread();
  void ReleaseOutput();
  // Ok when a device is open with reports of this length; else records why not.
  bool CanTransfer(uint32_t reportLength, const char* kind);
  // Writes the output report; 0 or why it failed.
  DWORD WriteOutputReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent);
  // `verb` and `kind` name the report in an error: "Could not set feature
  // report 4: ...".
  XtraResult SendReport(ReportFunction send, const char* verb, const char* kind, uint32_t reportLength,
                        uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent);
  XtraResult FetchReport(ReportFunction get, const char* kind, uint32_t reportLength, uint8_t reportId,
                         ByteList& out);

  // Opened overlapped, for the writes; the reader has a handle of its own.
  HANDLE deviceHandle = nullptr;
  ReaderThread* reader = nullptr;  // one reference
  std::unique_ptr<OutputReport> output;
  std::string devicePath;
  uint32_t inputReportLength = 0;
  uint32_t outputReportLength = 0;
  HIDP_CAPS caps{};
  DWORD writeTimeoutMs = 1000;
  OpenMode openMode = OpenMode::Shared;
  std::optional<HidCollectionInfo> openCollection;
};

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
#include "device/scoped_resources.h"
#include "device/usb_class_base.h"

enum class SearchMode { ListCollections, MatchIds, MatchProductName };

// What one walk over the present HID interfaces looks for.
struct DeviceSearch {
  SearchMode mode = SearchMode::ListCollections;
  int32_t vendorId = 0;
  int32_t productId = 0;
  WCHAR name[UsbDeviceInfo::kStringUnits] = {};
  std::vector<HidCollectionInfo>* collections = nullptr;
  ScopedHandle found;  // kept open on the matched device
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
  XtraResult OpenByPath(const char* path, bool exclusive) override;
  bool IsOpen() override;
  XtraResult Close() override;
  XtraResult Write(const uint8_t* bytes, uint32_t length, int32_t* sent) override;
  XtraResult FindDevices(DeviceList& list) override;
  XtraResult FindCollections(std::vector<HidCollectionInfo>& list) override;
  XtraResult IdleHook1() override;
  XtraResult IdleHook2() override;

  XtraResult WriteReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) override;
  XtraResult SendOutputReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) override;
  XtraResult SetFeatureReport(uint8_t reportId, const uint8_t* bytes, uint32_t length, int32_t* sent) override;
  XtraResult GetFeatureReport(uint8_t reportId, ByteList& out) override;
  XtraResult GetInputReport(uint8_t reportId, ByteList& out) override;

  bool GetOpenCollection(HidCollectionInfo& out) const override;
  bool IsConnected() override;

 private:
  using ReportFunction = BOOLEAN(WINAPI*)(HANDLE, PVOID, ULONG);

  XtraResult EnumerateDevices(DeviceSearch& search);
  XtraResult Open(DeviceSearch& search, const char* notFoundMessage);
  // Takes over `handle` on the device at devicePath, opened in `mode`.
  XtraResult Listen(ScopedHandle handle, OpenMode mode);
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
  ScopedHandle deviceHandle;
  ReaderThread::Reference reader;
  std::unique_ptr<OutputReport> output;
  std::string devicePath;
  OpenMode openMode = OpenMode::Shared;
  std::optional<HidCollectionInfo> openCollection;
};

// The device object on Windows: the setup API and HID library find and
// describe devices, kernel file handles and events carry the reports.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/control_table.h"
#include "device/collection_cache.h"
#include "device/hid_collection_info.h"
#include "device/device_request.h"
#include "device/reader_thread.h"
#include "device/scoped_resources.h"
#include "device/usb_class_base.h"

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
  UsbClassPC();
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

  XtraResult ListControls(ControlKind kind, std::vector<Control>& out) override;
  XtraResult DecodeReport(ControlKind kind, const uint8_t* bytes, uint32_t length, DecodedReport& out) override;
  XtraResult ComposeOutputReport(const std::vector<NamedValue>& values, std::vector<uint8_t>& report) override;
  XtraResult SetFeatureUsages(const std::vector<NamedValue>& values) override;

 private:
  // What an open found and admitted: the collection's path, the handle it
  // opened, and what it asked of it on the way, which Listen does not ask
  // again.
  struct FoundCollection {
    std::string path;
    ScopedHandle handle;
    HIDD_ATTRIBUTES attributes{};
    WCHAR product[UsbDeviceInfo::kStringUnits] = {};  // empty: not read yet
    CollectionCapabilities caps{};
  };
  // Whether the collection open on a handle is the one an open looks for;
  // the test may read the product string into `product`.
  using Match = bool (*)(const void* wanted, HANDLE device, const HIDD_ATTRIBUTES& attributes,
                         WCHAR (&product)[UsbDeviceInfo::kStringUnits]);
  // Walks the present collections and opens the first that `match`es and
  // may be opened: security keys, and collections that do not tell their
  // capabilities, are passed over.
  XtraResult OpenFirstMatch(Match match, const void* wanted, const char* notFoundMessage);
  // Takes over the found collection, opened in `mode`, and makes it ready:
  // its description, its reader, its requests.
  XtraResult Listen(FoundCollection found, OpenMode mode);
  // The collections present, described, into `present`; `result` tells
  // whether the walk found them all.
  void ListPresent(bool withCaps, std::vector<const HidCollectionInfo*>& present);
  // Lets go of what an earlier open holds before a new one.
  void BeginOpen();
  void ReleaseRequests();
  // Ok when a device is open with reports of this length; else records why not.
  bool CanTransfer(uint32_t reportLength, const char* kind);
  // `verb` and `kind` name the report in an error: "Could not set feature
  // report 4: ...".
  XtraResult SendReport(DWORD code, const char* verb, const char* kind, uint32_t reportLength, uint8_t reportId,
                        const uint8_t* bytes, uint32_t length, int32_t* sent);
  XtraResult FetchReport(DWORD code, const char* kind, uint32_t reportLength, uint8_t reportId, ByteList& out);

  // The open collection's preparsed data and controls, read at their first
  // use and kept until Close.
  XtraResult LoadControls();
  ScopedPreparsedData preparsed;
  std::unique_ptr<ControlTable> controlTable;

  // Opened overlapped, for the writes; the reader has a handle of its own.
  ScopedHandle deviceHandle;
  ReaderThread::Reference reader;
  std::unique_ptr<DeviceRequest> requests;
  OpenMode openMode = OpenMode::Shared;
  std::optional<HidCollectionInfo> openCollection;
  CollectionCache collections;
};

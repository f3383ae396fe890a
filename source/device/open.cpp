// Opening a device, every way a movie can: the first collection present
// with the ids or the product name, or the collection at a path. Each ends
// in Listen, which takes over the handle the open made and makes the device
// ready: its description, its capabilities, its reader and its requests.
#include <algorithm>
#include <new>
#include <string>

#include "device/collection_description.h"
#include "device/hid_interfaces.h"
#include "device/interface_open.h"
#include "device/usb_class_pc.h"
#include "diagnostics/system_message.h"

namespace {

struct WantedIds {
  int32_t vendorId;
  int32_t productId;
};

bool MatchesIds(const void* wanted, HANDLE, const HIDD_ATTRIBUTES& attributes, WCHAR (&)[UsbDeviceInfo::kStringUnits]) {
  const auto& ids = *static_cast<const WantedIds*>(wanted);
  return attributes.VendorID == ids.vendorId && attributes.ProductID == ids.productId;
}

// A product string that could not be read matches no name, not even "".
bool MatchesProductName(const void* wanted, HANDLE device, const HIDD_ATTRIBUTES&,
                        WCHAR (&product)[UsbDeviceInfo::kStringUnits]) {
  // Compared whole, past the end too: both are zero-filled.
  return ReadProductString(device, product) &&
         std::char_traits<WCHAR>::compare(product, static_cast<const WCHAR*>(wanted), UsbDeviceInfo::kStringUnits) ==
             0;
}

const char kNoSuchCollection[] = "Open failed - no HID collection present has this path";
const char kSecurityKey[] = "Open failed - security keys (FIDO) are not for movies";

// Whether the found collection may be opened: it tells its capabilities,
// and no security key lies in it. Why not otherwise; the caller then lets
// go of the handle, which no failed check holds on to.
XtraResult Admit(HANDLE handle, CollectionCapabilities& caps) {
  bool securityKey = false;
  XtraResult admitted = ReadCapabilities(handle, caps, securityKey);
  if (!admitted.isError && securityKey) admitted.SetError(kSecurityKey, XtraResult::kNoCode);
  return admitted;
}

}  // namespace

XtraResult UsbClassPC::OpenByID(int32_t vendorId, int32_t productId) {
  const WantedIds ids{vendorId, productId};
  return OpenFirstMatch(MatchesIds, &ids,
                        "Open failed - did not find device that matched the vendor/product ids");
}

XtraResult UsbClassPC::OpenByProductName(const WCHAR* name) {
  WCHAR wanted[UsbDeviceInfo::kStringUnits] = {};
  const size_t length = std::char_traits<WCHAR>::length(name);
  std::char_traits<WCHAR>::copy(wanted, name, std::min<size_t>(length, UsbDeviceInfo::kStringUnits - 1));
  return OpenFirstMatch(MatchesProductName, wanted,
                        "Open failed - did not find device that matched the product name");
}

XtraResult UsbClassPC::OpenByPath(const char* path, bool exclusive) {
  BeginOpen();
  // Only a HID collection's own name is opened: no file, device or network
  // name, and no answer that tells one of them from another.
  if (!IsHidInterfacePath(path)) {
    result.SetError(kNoSuchCollection, XtraResult::kNoCode);
    return result;
  }
  try {
    FoundCollection found;
    found.path = path;
    // Exclusive: this handle writes and lets only readers in; the reader's
    // handle reads and lets only writers in.
    bool queryOnly = false;
    found.handle = exclusive ? OpenInterface(path, GENERIC_WRITE, FILE_SHARE_READ, FILE_FLAG_OVERLAPPED)
                             : OpenSharedOrForQueries(path, FILE_FLAG_OVERLAPPED, queryOnly);
    if (!found.handle || !ReadAttributes(found.handle.get(), found.attributes)) {
      const DWORD error = GetLastError();
      if (!found.handle && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
        result.SetError(kNoSuchCollection, XtraResult::kNoCode);
      else
        SetSystemError(result, found.handle ? "Open failed - the collection does not tell its ids" : "Open failed",
                       error);
      return result;
    }
    result = Admit(found.handle.get(), found.caps);
    if (result.isError) return result;
    return Listen(std::move(found), exclusive ? OpenMode::Exclusive : queryOnly ? OpenMode::QueryOnly : OpenMode::Shared);
  } catch (const std::bad_alloc&) {
    Close();
    result.SetError("Out of memory", XtraResult::kNoCode);
    return result;
  }
}

XtraResult UsbClassPC::OpenFirstMatch(Match match, const void* wanted, const char* notFoundMessage) {
  BeginOpen();
  std::vector<std::string> paths;
  try {
    const XtraResult walked = ListHidInterfaces(paths);
    // Why the first collection that matched could not be opened.
    XtraResult refused;
    for (const std::string& path : paths) {
      FoundCollection found;
      // Overlapped: this handle carries the writes, which must not hold
      // Director's thread when the device stops taking them.
      found.handle = OpenInterface(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   FILE_FLAG_OVERLAPPED);
      if (!found.handle || !ReadAttributes(found.handle.get(), found.attributes) ||
          !match(wanted, found.handle.get(), found.attributes, found.product))
        continue;
      const XtraResult admitted = Admit(found.handle.get(), found.caps);
      if (admitted.isError) {
        if (!refused.isError) refused = admitted;
        continue;
      }
      found.path = path;
      return Listen(std::move(found), OpenMode::Shared);
    }
    // A walk that ended early may have missed the device: that is the news.
    if (walked.isError)
      result = walked;
    else if (refused.isError)
      result = refused;
    else
      result.SetError(notFoundMessage, XtraResult::kNoCode);
  } catch (const std::bad_alloc&) {
    Close();
    result.SetError("Out of memory", XtraResult::kNoCode);
  }
  return result;
}

void UsbClassPC::BeginOpen() {
  result.SetOk();
  // Also what an earlier open left behind when it failed after its match.
  if (listening || deviceHandle) Close();
  ForgetPreviousDevice();
}

XtraResult UsbClassPC::Listen(FoundCollection found, OpenMode mode) {
  // Held from here on, even when a step below fails, until Close.
  deviceHandle = std::move(found.handle);
  openMode = mode;
  caps = found.caps;
  HidCollectionInfo described;
  DescribeIds(found.path.c_str(), found.attributes, described);
  // Strings a listing or an earlier open read are not asked again, unless
  // the ids tell that another device came to the same path, or one of them
  // could not be read then.
  const HidCollectionInfo* known = collections.Find(found.path);
  if (known && known->device.VendorID == described.device.VendorID &&
      known->device.ProductID == described.device.ProductID && known->releaseNumber == described.releaseNumber &&
      !known->stringsUnread)
    described.device = known->device;
  else
    ReadStrings(deviceHandle.get(), found.product[0] ? found.product : nullptr, described);
  described.caps = caps;
  described.systemOwned = mode == OpenMode::QueryOnly;
  collections.Keep(described);
  openCollection = std::move(described);
  // What Windows keeps to itself cannot be read.
  if (mode != OpenMode::QueryOnly) {
    reader = ReaderThread::Prepare(*this, found.path, caps.InputReportByteLength, mode == OpenMode::Exclusive,
                                   result);
    if (!reader) return result;
  }
  requests = DeviceRequest::Make(
      std::max({caps.InputReportByteLength, caps.OutputReportByteLength, caps.FeatureReportByteLength, uint16_t{1}}));
  if (reader) listening = reader->Start(result);
  return result;
}

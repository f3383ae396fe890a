#include "device/collection_description.h"

#include <string>

#include "device/interface_open.h"
#include "device/interface_path.h"
#include "device/security_key.h"

namespace {

// The HID class driver's answer when the device names no such string: it
// fails the request before the device sees it. Any other failure (a device
// that stalls the request, one busy just after its arrival) may pass.
constexpr DWORD kNoSuchString = ERROR_INVALID_PARAMETER;

// False, and empty, when the read failed for a reason that may pass. A
// device need not terminate a string that fills the buffer.
bool CopyDeviceString(BOOLEAN(WINAPI* query)(HANDLE, PVOID, ULONG), HANDLE device,
                      WCHAR (&field)[UsbDeviceInfo::kStringUnits]) {
  if (query(device, field, sizeof field)) {
    field[UsbDeviceInfo::kStringUnits - 1] = 0;
    return true;
  }
  const bool none = GetLastError() == kNoSuchString;
  field[0] = 0;
  return none;
}

CollectionCapabilities NeutralCapabilities(const HIDP_CAPS& caps) {
  CollectionCapabilities out;
  out.Usage = caps.Usage;
  out.UsagePage = caps.UsagePage;
  out.InputReportByteLength = caps.InputReportByteLength;
  out.OutputReportByteLength = caps.OutputReportByteLength;
  out.FeatureReportByteLength = caps.FeatureReportByteLength;
  out.NumberLinkCollectionNodes = caps.NumberLinkCollectionNodes;
  out.NumberInputButtonCaps = caps.NumberInputButtonCaps;
  out.NumberInputValueCaps = caps.NumberInputValueCaps;
  out.NumberInputDataIndices = caps.NumberInputDataIndices;
  out.NumberOutputButtonCaps = caps.NumberOutputButtonCaps;
  out.NumberOutputValueCaps = caps.NumberOutputValueCaps;
  out.NumberOutputDataIndices = caps.NumberOutputDataIndices;
  out.NumberFeatureButtonCaps = caps.NumberFeatureButtonCaps;
  out.NumberFeatureValueCaps = caps.NumberFeatureValueCaps;
  out.NumberFeatureDataIndices = caps.NumberFeatureDataIndices;
  return out;
}

}  // namespace

bool ReadProductString(HANDLE device, WCHAR (&product)[UsbDeviceInfo::kStringUnits]) {
  return CopyDeviceString(HidD_GetProductString, device, product);
}

XtraResult ReadCapabilities(HANDLE handle, CollectionCapabilities& caps, bool& securityKey) {
  XtraResult result;
  result.SetOk();
  ScopedPreparsedData preparsed;
  if (!HidD_GetPreparsedData(handle, preparsed.receive())) {
    result.SetError("Failed to get device parsed data", static_cast<int32_t>(GetLastError()));
    return result;
  }
  HIDP_CAPS queried{};
  // HidP_GetCaps tells why in its status and leaves the last error alone.
  NTSTATUS status = HidP_GetCaps(preparsed.get(), &queried);
  bool reachesKey = false;
  if (status == HIDP_STATUS_SUCCESS) reachesKey = ReachesSecurityKey(preparsed.get(), queried, status);
  if (status != HIDP_STATUS_SUCCESS) {
    result.SetError("Failed to get device capabilities", static_cast<int32_t>(status));
    return result;
  }
  caps = NeutralCapabilities(queried);
  securityKey = reachesKey;
  return result;
}

bool ReadAttributes(HANDLE handle, HIDD_ATTRIBUTES& attributes) {
  attributes = HIDD_ATTRIBUTES{};
  attributes.Size = sizeof attributes;
  return HidD_GetAttributes(handle, &attributes) != FALSE;
}

void DescribeIds(const char* path, const HIDD_ATTRIBUTES& attributes, HidCollectionInfo& info) {
  info.path = path;
  info.device.VendorID = attributes.VendorID;
  info.device.ProductID = attributes.ProductID;
  info.releaseNumber = attributes.VersionNumber;
  info.interfaceNumber = InterfaceNumberOf(path);
}

void ReadStrings(HANDLE handle, const WCHAR* knownProduct, HidCollectionInfo& info) {
  bool read = true;
  if (knownProduct)
    std::char_traits<WCHAR>::copy(info.device.Product, knownProduct, UsbDeviceInfo::kStringUnits);
  else
    read = ReadProductString(handle, info.device.Product);
  read = CopyDeviceString(HidD_GetManufacturerString, handle, info.device.Manufacturer) && read;
  read = CopyDeviceString(HidD_GetSerialNumberString, handle, info.device.SerialNumberString) && read;
  info.stringsUnread = !read;
}

bool DescribeCollectionAt(const char* path, bool withCaps, HidCollectionInfo& info) {
  bool refused = false;
  ScopedHandle handle = OpenSharedOrForQueries(path, 0, refused);
  // One that another handle keeps to itself still tells who it is.
  if (!handle && !refused) handle = OpenInterface(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
  HIDD_ATTRIBUTES attributes;
  if (!handle || !ReadAttributes(handle.get(), attributes)) return false;
  DescribeIds(path, attributes, info);
  ReadStrings(handle.get(), nullptr, info);
  if (withCaps) ReadCapabilities(handle.get(), info.caps, info.securityKey);  // leaves them alone when it fails
  info.systemOwned = refused;
  return true;
}

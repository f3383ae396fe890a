// Finding devices with SetupDi and asking them for attributes, strings and
// capabilities, with the size protocols callers must follow.
#include <cstring>

#include "pad_ids.h"
#include "standin_fixture.h"

namespace {

using Enumeration = StandinTest;

GUID HidGuid() {
  GUID guid;
  HidD_GetHidGuid(&guid);
  return guid;
}

std::vector<std::string> PresentPaths() {
  const GUID guid = HidGuid();
  HDEVINFO set = SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  std::vector<std::string> paths;
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &guid, i, &data); ++i) {
    char storage[512];
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage);
    detail->cbSize = sizeof *detail;
    SetupDiGetDeviceInterfaceDetailA(set, &data, detail, sizeof storage, nullptr, nullptr);
    paths.emplace_back(detail->DevicePath);
  }
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
  SetupDiDestroyDeviceInfoList(set);
  return paths;
}

TEST_F(Enumeration, PathsLookLikeWindowsAndFollowPlugs) {
  standin::DeviceSpec traits = Board(kPadProductId);
  traits.vendorId = kPadVendorId;
  traits.collection = "COL01";
  traits.instanceId = "7&1A2B3C4D&0&0000";
  const auto first = standin::PlugDevice(traits);
  const auto second = standin::PlugDevice(Board());
  EXPECT_EQ(standin::DevicePath(first),
            "\\\\?\\hid#vid_046d&pid_c52b&col01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  EXPECT_EQ(PresentPaths(), (std::vector<std::string>{standin::DevicePath(first), standin::DevicePath(second)}));
  standin::Unplug(first);
  EXPECT_EQ(PresentPaths(), (std::vector<std::string>{standin::DevicePath(second)}));
  const auto again = standin::PlugDevice(traits);
  EXPECT_EQ(standin::DevicePath(again), standin::DevicePath(first)) << "replugged where it was";
}

TEST_F(Enumeration, CompositeDevicesNameTheirInterfaceBeforeTheCollection) {
  standin::DeviceSpec traits = Board(kPadProductId);
  traits.vendorId = kPadVendorId;
  traits.interfaceNumber = 1;
  traits.collection = "col02";
  traits.instanceId = "8&2B&0&0001";
  EXPECT_EQ(standin::DevicePath(standin::PlugDevice(traits)),
            "\\\\?\\hid#vid_046d&pid_c52b&mi_01&col02#8&2b&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}");
}

TEST_F(Enumeration, SamePathTwiceIsRefused) {
  standin::DeviceSpec traits = Board();
  traits.instanceId = "1&2&3";
  standin::PlugDevice(traits);
  EXPECT_THROW(standin::PlugDevice(traits), std::invalid_argument);
}

TEST_F(Enumeration, SetIsASnapshotThatKeepsItsPathsAfterUnplug) {
  const auto device = standin::PlugDevice(Board());
  const GUID guid = HidGuid();
  HDEVINFO set = SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  standin::PlugDevice(Board(0x0200));
  standin::Unplug(device);
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 0, &data));
  EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 1, &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);

  DWORD required = 0;
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  const std::string path = standin::DevicePath(device);
  EXPECT_EQ(required, offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);
  std::vector<char> storage(required);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
  detail->cbSize = sizeof *detail;
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required - 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  ASSERT_TRUE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr));
  EXPECT_EQ(path, detail->DevicePath);
  EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
  EXPECT_FALSE(SetupDiDestroyDeviceInfoList(set));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(Enumeration, WrongStructSizesAreInvalidUserBuffers) {
  standin::PlugDevice(Board());
  const GUID guid = HidGuid();
  HDEVINFO set = SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = 28;  // 32-bit Windows' size
  EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 0, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
  data.cbSize = sizeof data;
  ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &guid, 0, &data));
  char storage[512];
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage);
  detail->cbSize = 5;  // 32-bit Windows' size
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, sizeof storage, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
  EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 5, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
  SetupDiDestroyDeviceInfoList(set);
  EXPECT_EQ(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

using OpenDevice = OpenDeviceTest;

TEST_F(OpenDevice, AttributesAndCapsAreThePluggedOnes) {
  standin::DeviceSpec traits = Board();
  traits.caps.NumberInputValueCaps = 3;
  traits.caps.NumberFeatureDataIndices = 9;
  PlugAndOpen(traits);
  HIDD_ATTRIBUTES attributes{};
  ASSERT_TRUE(HidD_GetAttributes(file, &attributes));
  EXPECT_EQ(attributes.Size, sizeof attributes);
  EXPECT_EQ(attributes.VendorID, 0x16C0);
  EXPECT_EQ(attributes.ProductID, 0x0100);
  EXPECT_EQ(attributes.VersionNumber, 0x0102);

  PHIDP_PREPARSED_DATA preparsed = nullptr;
  ASSERT_TRUE(HidD_GetPreparsedData(file, &preparsed));
  HIDP_CAPS caps{};
  EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
  EXPECT_EQ(std::memcmp(&caps, &traits.caps, sizeof caps), 0);
  EXPECT_TRUE(HidD_FreePreparsedData(preparsed));
  EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA) << "freed";
  EXPECT_FALSE(HidD_FreePreparsedData(preparsed));
}

TEST_F(OpenDevice, StringsComeAsUtf16WithTheirTerminatorOrFail) {
  standin::DeviceSpec traits = Board();
  traits.product = u"Capteur \u00e9\u20ac";
  traits.manufacturer = u"";
  PlugAndOpen(traits);
  char16_t text[32];
  ASSERT_TRUE(HidD_GetProductString(file, text, sizeof text));
  EXPECT_EQ(std::u16string(text), u"Capteur \u00e9\u20ac");
  EXPECT_TRUE(HidD_GetManufacturerString(file, text, sizeof text));
  EXPECT_EQ(text[0], u'\0');
  EXPECT_FALSE(HidD_GetSerialNumberString(file, text, sizeof text)) << "the device has none";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  std::fill(std::begin(text), std::end(text), u'#');
  EXPECT_FALSE(HidD_GetProductString(file, text, 20)) << "11 characters need 24 bytes";
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(text[0], u'#') << "untouched";
  EXPECT_TRUE(HidD_GetProductString(file, text, 24));
}

TEST_F(OpenDevice, QueriesFailOnceTheDeviceIsGone) {
  PlugAndOpen(Board());
  standin::Unplug(device);
  HIDD_ATTRIBUTES attributes{};
  EXPECT_FALSE(HidD_GetAttributes(file, &attributes));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  EXPECT_FALSE(HidD_GetPreparsedData(file, &preparsed));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_FALSE(HidD_GetAttributes(INVALID_HANDLE_VALUE, &attributes));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(Enumeration, SystemOwnedDevicesOpenOnlyForQueries) {
  standin::DeviceSpec traits = Board();
  traits.systemOwned = true;
  const auto device = standin::PlugDevice(traits);
  EXPECT_EQ(Open(device), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  const std::string upper = [&] {
    std::string path = standin::DevicePath(device);
    for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return path;
  }();
  HANDLE query = CreateFileA(upper.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(query, INVALID_HANDLE_VALUE) << "paths match without regard to case";
  CloseHandle(query);
  EXPECT_EQ(CreateFileA("", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

}  // namespace

// Collections found, told apart and opened by their paths: identical
// devices, composite devices, exclusive opens and devices that go away.
#include <string>

#include "device_on_bus.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Collections = DeviceOnBus;

std::string Narrow(const WCHAR* text) {
  std::string narrow;
  for (; *text; ++text) narrow += static_cast<char>(*text);
  return narrow;
}

std::string PathOf(standin::DeviceId device) { return standin::DevicePath(device); }

TEST_F(Collections, TwoIdenticalPadsAreListedApartAndEachObjectReadsOnlyItsOwn) {
  const auto first = standin::PlugDevice(Pad(u"A1"));
  const auto second = standin::PlugDevice(Pad(u"B2"));
  std::vector<HidCollectionInfo> found;
  EXPECT_FALSE(NewObject().FindCollections(found).isError);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].path, PathOf(first));
  EXPECT_EQ(Narrow(found[0].device.SerialNumberString), "A1");
  EXPECT_EQ(found[1].path, PathOf(second));
  EXPECT_EQ(Narrow(found[1].device.SerialNumberString), "B2");
  EXPECT_EQ(found[1].releaseNumber, 0x0102);
  EXPECT_EQ(found[1].caps.OutputReportByteLength, kPadReportLength);

  UsbClassPC& left = NewObject();
  UsbClassPC& right = NewObject();
  ASSERT_FALSE(left.OpenByPath(found[0].path.c_str(), false).isError);
  ASSERT_FALSE(right.OpenByPath(found[1].path.c_str(), false).isError);
  standin::SendInputReport(first, {1, 1});
  standin::SendInputReport(second, {2, 2});
  standin::SendInputReport(second, {2, 3});
  ASSERT_TRUE(WaitForPackets(left, 1));
  ASSERT_TRUE(WaitForPackets(right, 2));
  Bytes bytes;
  left.input().Copy(bytes, 65535, 1, 65535);
  EXPECT_EQ(bytes[1], 1);
  const uint8_t payload[] = {5};
  int32_t sent = 0;
  EXPECT_FALSE(right.Write(payload, 1, &sent).isError);
  EXPECT_TRUE(standin::OutputReports(first).empty());
  EXPECT_EQ(standin::OutputReports(second).size(), 1u);
}

TEST_F(Collections, ACompositeDevicesCollectionsTellTheirInterfaceAndUsage) {
  standin::DeviceSpec keys = Pad();
  keys.interfaceNumber = 0;
  keys.caps.Usage = 6;
  keys.systemOwned = true;
  standin::DeviceSpec media = Pad();
  media.interfaceNumber = 1;
  media.collection = "col01";
  media.caps.UsagePage = 0x0C;
  media.caps.Usage = 1;
  standin::DeviceSpec vendor = media;
  vendor.collection = "col02";
  vendor.caps.UsagePage = 0xFF00;
  standin::PlugDevice(keys);
  standin::PlugDevice(media);
  standin::PlugDevice(vendor);
  standin::DeviceSpec plain = Pad();
  plain.productId = 0x0001;
  standin::PlugDevice(plain);

  std::vector<HidCollectionInfo> found;
  NewObject().FindCollections(found);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_EQ(found[0].interfaceNumber, 0);
  EXPECT_TRUE(found[0].systemOwned);
  EXPECT_EQ(found[0].caps.Usage, 6) << "a collection Windows keeps still tells its caps";
  EXPECT_EQ(found[1].interfaceNumber, 1);
  EXPECT_EQ(found[1].caps.UsagePage, 0x0C);
  EXPECT_FALSE(found[1].systemOwned);
  EXPECT_EQ(found[2].caps.UsagePage, 0xFF00);
  EXPECT_EQ(found[3].interfaceNumber, -1) << "no interface part in the path";

  DeviceList devices;
  NewObject().FindDevices(devices);
  ASSERT_EQ(devices.size(), 4u) << "FindUsbDevices lists the same collections";
  EXPECT_EQ(devices[3].ProductID, 0x0001);
}

TEST_F(Collections, AnExclusiveOpenKeepsEveryOtherOpenOutUntilItCloses) {
  const auto pad = standin::PlugDevice(Pad());
  UsbClassPC& owner = NewObject();
  UsbClassPC& other = NewObject();
  ASSERT_FALSE(owner.OpenByPath(PathOf(pad).c_str(), true).isError);
  const char* const refusal =
      "Error :Open failed: The process cannot access the file because it is being used by another process. (32)";
  EXPECT_STREQ(other.OpenByPath(PathOf(pad).c_str(), false).StatusText(), refusal);
  EXPECT_FALSE(other.IsOpen());
  EXPECT_TRUE(other.OpenByID(kPadVendorId, kPadProductId).isError) << "the id search finds nothing it may open";
  std::vector<HidCollectionInfo> found;
  other.FindCollections(found);
  ASSERT_EQ(found.size(), 1u) << "still listed";
  EXPECT_FALSE(found[0].systemOwned) << "in use, not kept by Windows";

  standin::SendInputReport(pad, {1});
  ASSERT_TRUE(WaitForPackets(owner, 1)) << "the owner reads";
  const uint8_t payload[] = {4};
  int32_t sent = 0;
  EXPECT_FALSE(owner.Write(payload, 1, &sent).isError) << "and writes";

  owner.Close();
  EXPECT_FALSE(other.OpenByPath(PathOf(pad).c_str(), false).isError);
  EXPECT_STREQ(owner.OpenByPath(PathOf(pad).c_str(), true).StatusText(), refusal)
      << "nor is an exclusive open granted while another has the device";
}

TEST_F(Collections, OpeningByAPathThatIsNotThereSaysSo) {
  UsbClassPC& object = NewObject();
  EXPECT_STREQ(object.OpenByPath("\\\\?\\hid#vid_dead&pid_beef#1#{4d1e55b2-f16f-11cf-88cb-001111000030}", false)
                   .StatusText(),
               "Error :Open failed - no HID collection present has this path");
  EXPECT_FALSE(object.IsOpen());
  HidCollectionInfo info;
  EXPECT_FALSE(object.GetOpenCollection(info));
}

TEST_F(Collections, TheOpenCollectionIsDescribedUntilCloseAndKnownGoneAtOnce) {
  const auto pad = standin::PlugDevice(Pad());
  UsbClassPC& object = NewObject();
  EXPECT_FALSE(object.IsConnected());
  ASSERT_FALSE(object.OpenByID(kPadVendorId, kPadProductId).isError);
  EXPECT_TRUE(object.IsConnected());
  standin::Unplug(pad);
  EXPECT_FALSE(object.IsConnected());
  HidCollectionInfo info;
  ASSERT_TRUE(object.GetOpenCollection(info)) << "still open, and still described";
  EXPECT_EQ(info.path, PathOf(pad));
  EXPECT_EQ(Narrow(info.device.Product), "Pad");
  EXPECT_EQ(info.caps.InputReportByteLength, kPadReportLength);

  DWORD failure = 0;
  ASSERT_TRUE(Eventually([&] { return (failure = object.TakeReaderEnd()) != 0; }));
  EXPECT_EQ(failure, ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_FALSE(object.IsConnected()) << "also once the reader's end is told";
  object.Close();
  EXPECT_FALSE(object.GetOpenCollection(info));
}

}  // namespace

// Device broadcasts: a window hears of the interface classes it registered
// for, each event with the interface's path as Windows writes it.
#include <cstddef>
#include <cstring>
#include <string>

#include "pad_ids.h"
#include "standin_fixture.h"

namespace {

const GUID kHidInterface = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
const GUID kUsbInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

struct Heard {
  WPARAM code;
  bool hid;
  std::string path;
};
std::vector<Heard> gHeard;

// Reads each broadcast in the form its window's class asks for.
LRESULT CALLBACK Listener(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_DEVICECHANGE) return DefWindowProcA(window, message, wParam, lParam);
  const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(lParam);
  const bool hid = std::memcmp(&broadcast->dbcc_classguid, &kHidInterface, sizeof(GUID)) == 0;
  if (!IsWindowUnicode(window)) {
    gHeard.push_back({wParam, hid, broadcast->dbcc_name});
    return 0;
  }
  const auto* wide = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
  char path[512];
  WideCharToMultiByte(CP_UTF8, 0, wide->dbcc_name, -1, path, sizeof path, nullptr, nullptr);
  EXPECT_EQ(wide->dbcc_size, offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) +
                                 (std::char_traits<char16_t>::length(wide->dbcc_name) + 1) * sizeof(WCHAR));
  gHeard.push_back({wParam, hid, path});
  return 0;
}

class Broadcasts : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    gHeard.clear();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Listener;
    windowClass.lpszClassName = "BROADCASTS_TEST";
    RegisterClassExA(&windowClass);
    window = CreateWindowExA(0, "BROADCASTS_TEST", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    for (HDEVNOTIFY registration : registrations) UnregisterDeviceNotification(registration);
    DestroyWindow(window);
    UnregisterClassA("BROADCASTS_TEST", nullptr);
    StandinTest::TearDown();
  }
  void Listen(const GUID& interfaceClass) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = interfaceClass;
    registrations.push_back(RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
  }
  static void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }

  HWND window = nullptr;
  std::vector<HDEVNOTIFY> registrations;
};

TEST_F(Broadcasts, HidListenersHearTheCollectionUnderItsCapitalisedPath) {
  Listen(kHidInterface);
  standin::DeviceSpec traits = Board(kPadProductId);
  traits.vendorId = kPadVendorId;
  traits.interfaceNumber = 1;
  traits.instanceId = "8&2b&0&0001";
  const auto device = standin::PlugDevice(traits);
  standin::Unplug(device);
  Pump();
  const std::string path = "\\\\?\\HID#VID_046D&PID_C52B&MI_01#8&2B&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  ASSERT_EQ(gHeard.size(), 2u);
  EXPECT_EQ(gHeard[0].code, DBT_DEVICEARRIVAL);
  EXPECT_TRUE(gHeard[0].hid);
  EXPECT_EQ(gHeard[0].path, path);
  EXPECT_EQ(gHeard[1].code, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(gHeard[1].path, path);
}

// What Windows hands a window of a class registered with RegisterClassExW.
TEST_F(Broadcasts, AUnicodeWindowHearsTheSamePathsInUtf16) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Listener;
  windowClass.lpszClassName = u"BROADCASTS_TEST_W";
  ASSERT_NE(RegisterClassExW(&windowClass), 0);
  HWND wide = CreateWindowExW(0, u"BROADCASTS_TEST_W", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(wide, nullptr);
  EXPECT_TRUE(IsWindowUnicode(wide));
  EXPECT_FALSE(IsWindowUnicode(window));
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = kHidInterface;
  HDEVNOTIFY registration = RegisterDeviceNotificationW(wide, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  ASSERT_NE(registration, nullptr);
  Listen(kHidInterface);
  standin::DeviceSpec traits = Board(kPadProductId);
  traits.vendorId = kPadVendorId;
  traits.instanceId = "8&2b&0&0001";
  standin::PlugDevice(traits);
  Pump();
  const std::string path = "\\\\?\\HID#VID_046D&PID_C52B#8&2B&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  ASSERT_EQ(gHeard.size(), 2u);
  EXPECT_EQ(gHeard[0].path, path);
  EXPECT_EQ(gHeard[1].path, path);
  UnregisterDeviceNotification(registration);
  DestroyWindow(wide);
  EXPECT_TRUE(UnregisterClassA("broadcasts_test_w", nullptr)) << "one name for both character sets";
}

TEST_F(Broadcasts, TheUsbDeviceComesBeforeItsCollectionAndGoesAfterIt) {
  Listen(kHidInterface);
  Listen(kUsbInterface);
  const auto device = standin::PlugDevice(Board());
  standin::Unplug(device);
  Pump();
  ASSERT_EQ(gHeard.size(), 4u);
  EXPECT_FALSE(gHeard[0].hid);
  EXPECT_EQ(gHeard[0].path.rfind("\\\\?\\USB#VID_16C0&PID_0100#", 0), 0u) << gHeard[0].path;
  EXPECT_TRUE(gHeard[1].hid);
  EXPECT_TRUE(gHeard[2].hid);
  EXPECT_EQ(gHeard[2].code, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_FALSE(gHeard[3].hid);
}

}  // namespace

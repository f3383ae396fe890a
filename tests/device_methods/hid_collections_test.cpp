// FindHidDevices, OpenByPath and MonitorHidDevices through Director's
// services: what the transcripts cannot show, such as a host that cannot
// finish a list, an older Director's encoding or a failed open's box.
#include "host_doubles.h"
#include "numbered_reports.h"
#include "simulated_devices.h"

namespace {

using HidCollections = SimulatedDevices;

TEST_F(HidCollections, FilterKeysAreSymbolsOrStringsInAnyLetterCase) {
  Plug();
  standin::DeviceSpec other = Pad();
  other.productId = 0x0001;
  other.product = u"Other";
  Plug(other);
  ScriptInstance& me = New();
  const std::string bySymbol = me.Call(kFindHidDevices, "[#productid: 1]");
  EXPECT_NE(bySymbol.find("#Product: \"Other\""), std::string::npos) << bySymbol;
  EXPECT_EQ(bySymbol.find("#Product: \"Pad\""), std::string::npos) << bySymbol;
  EXPECT_EQ(me.Call(kFindHidDevices, "[\"Product\": \"PAD\", #VendorID: 1133]"),
            me.Call(kFindHidDevices, "[#ProductID: 50475]"));
  EXPECT_EQ(me.Call(kFindHidDevices, "[:]"), me.Call(kFindHidDevices)) << "an empty filter passes everything";
  EXPECT_EQ(me.Call(kFindHidDevices, "[1: 2]"),
            "\"Error :the filter's keys must name properties of a HID collection\"");
}

TEST_F(HidCollections, AnOlderDirectorFiltersAndHearsInTheWindowsCodePage) {
  host.PlayDirector("10.1");
  standin::DeviceSpec pad = Pad();
  pad.product = u"Pad \u00e9";
  Plug(pad);
  ScriptInstance& me = New();
  const std::string found = me.Call(kFindHidDevices, "[#Product: \"Pad \u00e9\"]");
  EXPECT_NE(found.find("#Product: \"Pad \u00e9\""), std::string::npos) << "Windows-1252 both ways: " << found;
  host.PlayDirector("11.5");
}

TEST_F(HidCollections, AListTheHostCannotFinishIsAnError) {
  FailingAppends lists(host, 1000, kMoaErr_OutOfMem);
  Plug(WithNumberedReports(Pad(), 9, 9, 5));
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  lists.Allow(0);
  EXPECT_EQ(me.Call(kFindHidDevices), "\"Error :Could not make the list of HID collections (-2147221502)\"");
  EXPECT_EQ(me.Call(kGetFeatureReport, "4"), "\"Error :Could not make the list of bytes (-2147221502)\"");
  lists.Allow(1000);
  EXPECT_EQ(me.Call(kGetFeatureReport, "4"), "[4, 0, 0, 0, 0]");
  me.Forget();  // while the double that serves its lists is still there
}

TEST_F(HidCollections, AFailedOpenByPathShowsItsBoxWhileBoxesAreOn) {
  ScriptInstance& me = New();
  const char* const missing = "\"\\\\?\\hid#vid_dead&pid_beef#1#{4d1e55b2-f16f-11cf-88cb-001111000030}\"";
  EXPECT_EQ(me.Call(kOpenByPath, missing), "\"Error :Open failed - no HID collection present has this path\"");
  const auto boxes = standin::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "HidBridge:OpenByPath");
  EXPECT_EQ(boxes[0].text, "Error :Open failed - no HID collection present has this path\n"
                           "Is device connected? path correct? - Try FindHidDevices");
  me.Call(kOpenByPath, "7");
  EXPECT_EQ(standin::MessageBoxes().size(), 1u) << "a wrong argument is no failed open";
}

TEST_F(HidCollections, AnArrivalThatCannotBeOpenedIsNamedByItsPathAndIdsAlone) {
  ScriptInstance& me = New();
  me.Call(kMonitorHidDevices, "\"OnHid\"");
  standin::FailNext("CreateFileW", ERROR_GEN_FAILURE, 0, 2);
  standin::DeviceSpec pad = Pad();
  pad.instanceId = "8&1";
  Plug(pad);
  Idle();
  EXPECT_EQ(TakeHandlerCalls(),
            "OnHid([#TYPE: #DEVICEARRIVAL, "
            "#Path: \"\\\\?\\HID#VID_046D&PID_C52B#8&1#{4d1e55b2-f16f-11cf-88cb-001111000030}\", "
            "#VendorID: 1133, #ProductID: 50475])\n");
  me.Call(kMonitorHidDevices, "\"\"");
}

}  // namespace

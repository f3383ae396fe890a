// Device-change monitoring: the hidden window, the events a movie's handlers
// receive, and who may start and stop it.
#include <iterator>
#include <regex>

#include "device_broadcast.h"
#include "host_windows.h"
#include "simulated_devices.h"
#include "standin/recorders.h"
#include "standin/window_control.h"

namespace {

class Monitoring : public SimulatedDevices {
 protected:
  void TearDown() override {
    SimulatedDevices::TearDown();
    EXPECT_EQ(standin::WindowCount(), 0u);
    EXPECT_EQ(standin::DeviceNotificationCount(), 0u);
  }

  static HWND MonitorWindow() { return FindWindowExA(HWND_MESSAGE, nullptr, "HIDBRIDGE_WND", "HIDBRIDGE_WND"); }

  // What Windows would send for a USB device interface with this path.
  LRESULT SendInterfaceChange(WPARAM code, const std::string& path) {
    std::vector<char> broadcast = InterfaceBroadcast(MonitorWindow(), path);
    return host.SendWindowMessage(MonitorWindow(), WM_DEVICECHANGE, code, reinterpret_cast<LPARAM>(broadcast.data()));
  }

  // "TYPE VID PID" of each event handler call since the last look.
  std::string TakeEvents() {
    std::string events;
    const std::regex event("(\\w+)\\(\\[.*#TYPE: #(\\w+), #VID: (\\d+), #PID: (\\d+)\\]\\)");
    std::smatch match;
    std::string calls = TakeHandlerCalls();
    for (std::string::size_type start = 0, end; (end = calls.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = calls.substr(start, end - start);
      if (std::regex_match(line, match, event)) events += match.str(1) + " " + match.str(2) + " " + match.str(3) + " " + match.str(4) + "\n";
    }
    return events;
  }
};

TEST_F(Monitoring, PluggingAndUnpluggingReachTheMonitorDeviceHandler) {
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kMonitorDevice, "0, 0, \"OnDevice\""), "<Void>");
  const standin::DeviceId pad = Plug();
  Idle();
  const std::string calls = TakeHandlerCalls();
  EXPECT_TRUE(std::regex_match(calls, std::regex("OnDevice\\(\\[#XtraName: \"HidBridge\", #Message: "
                                                 "\"USB#VID_046D&PID_C52B#.*#\\{a5dcbf10-6530-11d2-901f-00c04fb951ed\\}\", "
                                                 "#Id: [0-9]+, #TYPE: #DEVICEARRIVAL, #VID: 1133, #PID: 50475\\]\\)\n")))
      << calls;
  standin::Unplug(pad);
  Idle();
  EXPECT_EQ(TakeEvents(), "OnDevice DEVICEREMOVECOMPLETE 1133 50475\n");
  me.Call(kMonitorDevice, "0, 0, \"\"");
}

TEST_F(Monitoring, EachHandlerHearsWhatItAskedForOnce) {
  ScriptInstance& me = New();
  me.Call(kMonitorChanges, "\"OnAny\"");
  me.Call(kMonitorDevice, std::string(kPadIds) + ", \"OnPad\"");
  Plug();
  standin::DeviceSpec other = Pad();
  other.productId = 7;
  Plug(other);
  Idle();
  EXPECT_EQ(TakeEvents(),
            "OnAny DEVICEARRIVAL 1133 50475\nOnPad DEVICEARRIVAL 1133 50475\nOnAny DEVICEARRIVAL 1133 7\n");
  me.Call(kMonitorChanges, "\"\"");
}

TEST_F(Monitoring, StartingTwiceMakesOneWindowAndStoppingWithoutOneDoesNothing) {
  ScriptInstance& me = New();
  me.Call(kMonitorChanges, "\"\"");
  EXPECT_EQ(standin::WindowCount(), 0u);
  me.Call(kMonitorChanges, "\"A\"");
  const size_t registrations = standin::ClassRegistrationCount();
  me.Call(kMonitorDevice, "0, 0, \"B\"");
  EXPECT_EQ(standin::WindowCount(), 1u);
  EXPECT_EQ(standin::DeviceNotificationCount(), 2u) << "USB devices and HID collections";
  const HWND first = MonitorWindow();

  me.Call(kMonitorChanges, "\"\"");
  EXPECT_EQ(standin::WindowCount(), 0u);
  EXPECT_EQ(standin::DeviceNotificationCount(), 0u);
  me.Call(kMonitorChanges, "\"A\"");
  EXPECT_NE(MonitorWindow(), first);
  EXPECT_EQ(standin::DeviceNotificationCount(), 2u);
  EXPECT_EQ(standin::ClassRegistrationCount(), registrations);
  me.Call(kMonitorDevice, "0, 0, \"\"");
  EXPECT_EQ(standin::WindowCount(), 0u);
}

TEST_F(Monitoring, VendorAndProductIdsAreReadInAnyLetterCase) {
  ScriptInstance& me = New();
  me.Call(kMonitorDevice, "0, 0, \"OnDevice\"");
  SendInterfaceChange(DBT_DEVICEARRIVAL, "\\\\?\\USB#Vid_046d&Pid_c52b#1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  SendInterfaceChange(DBT_DEVICEARRIVAL, "\\\\?\\USB#VID_046D&PID_C52B#1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  SendInterfaceChange(DBT_DEVICEARRIVAL, "\\\\?\\USB#Vid_4&Pid_12#1");
  SendInterfaceChange(DBT_DEVICEREMOVECOMPLETE, "\\\\?\\USB#Vid_0a12#1");
  SendInterfaceChange(DBT_DEVICEREMOVECOMPLETE, "\\\\?\\ROOT#SYSTEM#0000");
  SendInterfaceChange(DBT_DEVICEARRIVAL, "Vid_0a12&Pid_0001");  // the marker may not open the path
  SendInterfaceChange(DBT_DEVICEARRIVAL, "\\\\?");
  Idle();
  EXPECT_EQ(TakeEvents(),
            "OnDevice DEVICEARRIVAL 1133 50475\n"
            "OnDevice DEVICEARRIVAL 1133 50475\n"
            "OnDevice DEVICEARRIVAL 4 18\n"
            "OnDevice DEVICEREMOVECOMPLETE 2578 0\n"
            "OnDevice DEVICEREMOVECOMPLETE 0 0\n"
            "OnDevice DEVICEARRIVAL 0 0\n"
            "OnDevice DEVICEARRIVAL 0 0\n");
  me.Call(kMonitorDevice, "0, 0, \"\"");
}

// Windows hands a Unicode window its broadcasts in UTF-16 (Wine 8 hands every
// window that form); a path reaches the movie in the movie's encoding.
TEST_F(Monitoring, PathsComeInUtf16AndReachTheMovieInItsEncoding) {
  ScriptInstance& me = New();
  me.Call(kMonitorDevice, "0, 0, \"OnDevice\"");
  EXPECT_TRUE(IsWindowUnicode(MonitorWindow()));
  SendInterfaceChange(DBT_DEVICEARRIVAL, "\\\\?\\USB#VID_046D&PID_C52B#Grüße#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  Idle();
  const std::string calls = TakeHandlerCalls();
  EXPECT_NE(calls.find("#Message: \"USB#VID_046D&PID_C52B#Grüße#{a5dcbf10-6530-11d2-901f-00c04fb951ed}\""),
            std::string::npos)
      << calls;
  EXPECT_NE(calls.find("#VID: 1133, #PID: 50475"), std::string::npos) << calls;
  me.Call(kMonitorDevice, "0, 0, \"\"");
}

// Director may be called from the window only inside the movie's context:
// when it refuses that context, the event is lost to the debugger output.
TEST_F(Monitoring, ADirectorThatRefusesItsContextIsNotCalledFromTheWindow) {
  ScriptInstance& me = New();
  me.Call(kMonitorDevice, "0, 0, \"OnDevice\"");
  me.Call(kMonitorHidDevices, "\"OnHid\"");
  host.player().movie().context().RefusePushes(true);
  standin::Unplug(Plug());
  Idle();
  host.player().movie().context().RefusePushes(false);
  EXPECT_EQ(TakeHandlerCalls(), "");
  size_t lost = 0;
  for (const std::string& line : standin::DebugOutput())
    lost += line.find("a device event was lost, Director refused its movie context") != std::string::npos;
  EXPECT_EQ(lost, 4u) << "the USB device and its collection, each arriving and leaving";
  Plug();
  Idle();
  EXPECT_NE(TakeHandlerCalls().find("OnHid([#TYPE: #DEVICEARRIVAL"), std::string::npos) << "the next one is heard";
  me.Call(kMonitorDevice, "0, 0, \"\"");
}

TEST_F(Monitoring, OnlyArrivalsAndCompletedRemovalsOfInterfacesReachTheMovie) {
  ScriptInstance& me = New();
  me.Call(kMonitorDevice, "0, 0, \"OnDevice\"");
  const std::string path = "\\\\?\\USB#VID_046D&PID_C52B#1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
  for (WPARAM code : {DBT_DEVNODES_CHANGED, DBT_DEVICEQUERYREMOVE, DBT_CONFIGCHANGED, DBT_DEVICEREMOVEPENDING})
    EXPECT_EQ(SendInterfaceChange(code, path), 0);
  std::vector<char> volume = VolumeBroadcast();
  EXPECT_EQ(host.SendWindowMessage(MonitorWindow(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(volume.data())), 0);
  EXPECT_EQ(host.SendWindowMessage(MonitorWindow(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), 0);
  EXPECT_EQ(host.SendWindowMessage(MonitorWindow(), WM_SIZE, 0, 0), 0);
  Idle();
  EXPECT_EQ(TakeEvents(), "");
  me.Call(kMonitorDevice, "0, 0, \"\"");
}

// Another process that runs the Xtra, Director or the console beside it,
// has a top-level window of the same name: this process still listens, in a
// window of its own that no FindWindow finds.
TEST_F(Monitoring, AnotherProcessListeningTakesNoEventsFromThisOne) {
  const HWND other = standin::WindowOfAnotherProcess("HIDBRIDGE_WND", "HIDBRIDGE_WND");
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kMonitorHidDevices, "\"OnHid\""), "<Void>");
  EXPECT_EQ(me.Call(kPrivateGlobal).find("#Monitoring: 1, #NotifyWindow: 1"), 2u) << me.Call(kPrivateGlobal);
  EXPECT_EQ(FindWindowA("HIDBRIDGE_WND", "HIDBRIDGE_WND"), other) << "ours is message-only";
  Plug();
  Idle();
  EXPECT_TRUE(std::regex_match(TakeHandlerCalls(), std::regex("OnHid\\(\\[#TYPE: #DEVICEARRIVAL, .*\\]\\)\n")));
  me.Call(kMonitorHidDevices, "\"\"");
  standin::EndWindowOfAnotherProcess(other);
}

// Without its window, or either registration, nothing would ever be heard:
// the movie is told, and nothing monitors.
TEST_F(Monitoring, AMonitorThatCannotListenAnswersAnErrorAndMonitorsNothing) {
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  const char* faults[][2] = {{"CreateWindowExW", "0"}, {"RegisterDeviceNotificationW", "0"},
                             {"RegisterDeviceNotificationW", "1"}};
  for (const auto& fault : faults) {
    standin::FailNext(fault[0], ERROR_NOT_ENOUGH_MEMORY, static_cast<unsigned>(std::stoi(fault[1])));
    EXPECT_EQ(me.Call(kMonitorHidDevices, "\"OnHid\""),
              "\"Error :Could not listen for device changes: Not enough memory resources are available to process "
              "this command. (8)\"")
        << fault[0] << " failing at call " << fault[1];
    EXPECT_EQ(me.Call(kPrivateGlobal).find("#Monitoring: 0, #NotifyWindow: 0"), 2u) << me.Call(kPrivateGlobal);
    EXPECT_EQ(standin::WindowCount(), 0u);
    EXPECT_EQ(standin::DeviceNotificationCount(), 0u);
  }
  Idle();
  const std::string calls = TakeHandlerCalls();
  const std::regex told("HidBridge_XtraError\\(\\[.*#Help: \"Could not listen for device changes: .*\"\\]\\)\n");
  EXPECT_EQ(std::distance(std::sregex_iterator(calls.begin(), calls.end(), told), std::sregex_iterator()), 3) << calls;
  EXPECT_EQ(me.Call(kMonitorDevice, "0, 0, \"OnDevice\""), "<Void>") << "the next start tries again";
  Plug();
  Idle();
  EXPECT_EQ(TakeEvents(), "OnDevice DEVICEARRIVAL 1133 50475\n");
  me.Call(kMonitorDevice, "0, 0, \"\"");
}

TEST_F(Monitoring, TheLastInstanceToStartHearsEveryEventAndAnyStopEndsIt) {
  ScriptInstance& me = New();
  ScriptInstance other(host);
  me.Call(kMonitorDevice, "0, 0, \"OnMine\"");
  other.Call(kMonitorDevice, "0, 0, \"OnOther\"");
  Plug();
  Idle();
  EXPECT_EQ(TakeEvents(), "OnOther DEVICEARRIVAL 1133 50475\n");
  me.Call(kMonitorDevice, "0, 0, \"\"");
  EXPECT_EQ(standin::WindowCount(), 0u);
  other.Forget();
}

TEST_F(Monitoring, ForgettingTheTargetStopsMonitoringAndForgettingAnotherDoesNot) {
  ScriptInstance& me = New();
  {
    ScriptInstance bystander(host);
    me.Call(kMonitorDevice, "0, 0, \"OnDevice\"");
    bystander.Forget();
  }
  EXPECT_EQ(standin::WindowCount(), 1u);
  Plug();
  Idle();
  EXPECT_EQ(TakeEvents(), "OnDevice DEVICEARRIVAL 1133 50475\n");
  me.Forget();
  EXPECT_EQ(standin::WindowCount(), 0u);
}

TEST_F(Monitoring, AHandlerNameThatIsNoTextChangesNothing) {
  ScriptInstance& me = New();
  me.Call(kMonitorChanges, "\"OnAny\"");
  me.Call(kMonitorChanges, "5");
  me.Call(kMonitorDevice, "0, 0, [1]");
  EXPECT_EQ(standin::WindowCount(), 1u);
  Plug();
  Idle();
  EXPECT_EQ(TakeEvents(), "OnAny DEVICEARRIVAL 1133 50475\n");
  me.Call(kMonitorChanges, "\"\"");
}

}  // namespace

namespace {

// A child kept in a global is forgotten only when Director's garbage
// collector runs: until then the instance lives on, monitoring included, and
// events must still find it.
TEST_F(Monitoring, EventsStillFindAnObjectDirectorHasNotCollectedYet) {
  MoaMmValue global = kVoidMoaMmValue;
  {
    ScriptInstance dropped(host);
    dropped.Call(kMonitorDevice, "0, 0, \"OnDevice\"");
    global = dropped.self();
    host.values().AddRef(global);
  }
  Plug();
  Idle();
  EXPECT_EQ(TakeEvents(), "OnDevice DEVICEARRIVAL 1133 50475\n");

  host.values().Release(global);  // collected: Director forgets it
  EXPECT_TRUE(host.notification().registrations().empty());
}

}  // namespace

namespace {

// The window class names a procedure of the module; once the module agrees to
// be unloaded, a later copy must register its own.
TEST_F(Monitoring, TheWindowClassGoesWhenTheModuleMayBeUnloaded) {
  {
    ScriptInstance me(host);
    me.Call(kMonitorChanges, "\"OnAny\"");
    me.Forget();
  }
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  EXPECT_TRUE(GetClassInfoExA(nullptr, "HIDBRIDGE_WND", &windowClass));
  EXPECT_EQ(host.module().DllCanUnloadNow(), kMoaErr_NoErr);
  EXPECT_FALSE(GetClassInfoExA(nullptr, "HIDBRIDGE_WND", &windowClass));
}

}  // namespace

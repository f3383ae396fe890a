// How the movie hears of what happened: the trace, the log file, deferred
// handler calls, error callbacks and message boxes.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "../standin/descriptor_items.h"
#include "simulated_devices.h"

namespace {

const char kNotFound[] = "Open failed - did not find device that matched the vendor/product ids";

class Diagnostics : public SimulatedDevices {
 protected:
  void SetUp() override {
    SimulatedDevices::SetUp();
    driveRoot = testing::TempDir() + "hidbridge-drives-" + std::to_string(::getpid());
    // Logs are added to: each test starts from empty drives.
    std::filesystem::remove_all(driveRoot);
    standin::SetDriveRoot(driveRoot);
  }
  void TearDown() override {
    SimulatedDevices::TearDown();
    standin::SetDriveRoot("");
    std::filesystem::remove_all(driveRoot);
  }

  static std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line;
    return text;
  }

  static std::string FileText(const std::string& windowsPath) {
    std::ifstream file(standin::NativePath(windowsPath));
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::string driveRoot;
};

TEST_F(Diagnostics, AfterNewNothingIsTracedOrLogged) {
  ScriptInstance& me = New();
  me.Call(kIsOpen);
  me.Call(kWrite, "1");
  Idle();
  EXPECT_TRUE(standin::DebugOutput().empty());
  EXPECT_EQ(TakeHandlerCalls().find("HidBridge_XtraFlow"), std::string::npos);
  EXPECT_EQ(FileText("c:\\HidBridge_XtraLog.txt"), "");
}

TEST_F(Diagnostics, TheThresholdDecidesWhichEntriesAreTraced) {
  ScriptInstance& me = New();
  me.Call(kPrivateInstance, "2, 1, 50");
  standin::ClearRecords();
  me.Call(kNumberOfItemsInReadBuffer);
  EXPECT_EQ(Joined(standin::DebugOutput()),
            "ExecutionFlow\t:m_numCharsInReadBuffer : Enter\nExecutionFlow\t:m_numCharsInReadBuffer : Exit\n");

  me.Call(kPrivateInstance, "2, 1, 25");
  standin::ClearRecords();
  me.Call(kIsOpen);
  EXPECT_EQ(Joined(standin::DebugOutput()),
            "ExecutionFlow\t:Call : Enter (5-)\nExecutionFlow\t:m_isDeviceOpen : Enter\n"
            "ExecutionFlow\t:m_isDeviceOpen : Exit\nExecutionFlow\t:Call : Exit (5)\n");

  me.Call(kPrivateInstance, "2, 256, 50");
  standin::ClearRecords();
  me.Call(kIsOpen);
  EXPECT_TRUE(standin::DebugOutput().empty());
}

TEST_F(Diagnostics, TraceEntriesReachTheFlowHandlerAtTheNextNotification) {
  ScriptInstance& me = New();
  me.Call(kPrivateInstance, "2, 1, 50");
  Idle();
  TakeHandlerCalls();
  me.Call(kReadPacket);
  EXPECT_EQ(TakeHandlerCalls(), "");
  Idle();
  EXPECT_EQ(TakeHandlerCalls(),
            "HidBridge_XtraFlow(\"m_readPacket\", \"Enter\")\nHidBridge_XtraFlow(\"m_readPacket\", \"Exit\")\n");
}

TEST_F(Diagnostics, AHundredCallbacksAreDeliveredInOrderAndTheNextIsDropped) {
  ScriptInstance& me = New();
  me.Call(kPrivateInstance, "2, 1, 50");  // files its own Exit entry: 1
  for (int i = 0; i < 49; ++i) me.Call(kNumberOfPacketsInReadBuffer);  // 98 more
  me.Call(kNumberOfItemsInReadBuffer);  // the 100th, and a 101st that is dropped
  EXPECT_NE(Joined(standin::DebugOutput()).find("HidBridge: callback HidBridge_XtraFlow dropped: Out of callback slots"),
            std::string::npos);
  Idle();
  const auto& calls = host.player().calls();
  ASSERT_EQ(calls.size(), 100u);
  EXPECT_EQ(calls[0].arguments, "\"m_privateLocal\", \"Exit\"");
  EXPECT_EQ(calls[1].arguments, "\"m_numPacketsInReadBuffer\", \"Enter\"");
  EXPECT_EQ(calls[98].arguments, "\"m_numPacketsInReadBuffer\", \"Exit\"");
  EXPECT_EQ(calls[99].arguments, "\"m_numCharsInReadBuffer\", \"Enter\"");
  Idle();
  EXPECT_EQ(calls.size(), 100u);
}

TEST_F(Diagnostics, ACallbackFiledDuringDeliveryRunsInTheSameNotificationAfterTheOlderOnes) {
  ScriptInstance& me = New();
  me.Call(kPrivateInstance, "2, 1, 50");
  bool calledBack = false;
  host.player().Define("HidBridge_XtraFlow", [&](const std::vector<MoaMmValue>&) {
    if (!calledBack) {
      calledBack = true;
      me.Call(kIsOpen);  // traced at 25: below the threshold
      me.Call(kClose);
    }
    return kVoidMoaMmValue;
  });
  me.Call(kNumberOfItemsInReadBuffer);
  Idle();
  EXPECT_EQ(TakeHandlerCalls(),
            "HidBridge_XtraFlow(\"m_privateLocal\", \"Exit\")\n"
            "HidBridge_XtraFlow(\"m_numCharsInReadBuffer\", \"Enter\")\n"
            "HidBridge_XtraFlow(\"m_numCharsInReadBuffer\", \"Exit\")\n"
            "HidBridge_XtraFlow(\"m_open\", \"Enter\")\n"
            "HidBridge_XtraFlow(\"m_open\", \"Exit\")\n");
}

TEST_F(Diagnostics, AFailedOpenShowsItsBoxAndFilesOneErrorCallback) {
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kOpenById, "1, 2"), std::string("\"Error :") + kNotFound + "\"");
  const auto boxes = standin::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "HidBridge:OpenByID");
  EXPECT_EQ(boxes[0].text,
            std::string("Error :") + kNotFound + "\nIs device connected? ids correct? - Try FindUsbDevices");
  Idle();
  const std::string calls = TakeHandlerCalls();
  EXPECT_TRUE(std::regex_match(calls, std::regex("HidBridge_XtraError\\(\\[#XtraName: \"HidBridge\", #TYPE: \"Error\", "
                                                 "#Id: [0-9]+, #Description: \"Error\", #Help: \"" +
                                                 std::string(kNotFound) + "\"\\]\\)\n")))
      << calls;
}

TEST_F(Diagnostics, WithBoxesOffAnErrorOnlyReachesTheHandler) {
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kShowErrorsAsDialogs, "0"), "\"Ok\"");
  me.Call(kOpenByProductName, "\"Nothing\"");
  EXPECT_TRUE(standin::MessageBoxes().empty());
  Idle();
  EXPECT_NE(TakeHandlerCalls().find("HidBridge_XtraError"), std::string::npos);
  EXPECT_EQ(me.Call(kShowErrorsAsDialogs, "1"), "\"Ok\"");
  me.Call(kOpenByProductName, "\"Nothing\"");
  ASSERT_EQ(standin::MessageBoxes().size(), 1u);
  EXPECT_EQ(standin::MessageBoxes()[0].caption, "HidBridge:OpenByProductName");
}

TEST_F(Diagnostics, OtherMethodErrorsFileOneCallbackAndShowNoBox) {
  ScriptInstance& me = New();
  me.Call(kWrite, "[#a: 1]");
  EXPECT_TRUE(standin::MessageBoxes().empty());
  Idle();
  std::string calls = TakeHandlerCalls();
  EXPECT_NE(calls.find("#Help: \"Cannot convert this type of parameter (argument 1)\"]"), std::string::npos) << calls;
  EXPECT_EQ(calls.find("HidBridge_XtraError", 1), std::string::npos) << calls;
  // Beside a list too: only a device search's failure shows a box.
  EXPECT_EQ(me.Call(kGetControls), "[]");
  EXPECT_TRUE(standin::MessageBoxes().empty());
  Idle();
  calls = TakeHandlerCalls();
  EXPECT_NE(calls.find("#Help: \"Device is not open\"]"), std::string::npos) << calls;
  EXPECT_EQ(calls.find("HidBridge_XtraError", 1), std::string::npos) << calls;
}

TEST_F(Diagnostics, AFailedDeviceSearchShowsItsBoxBesideItsList) {
  ScriptInstance& me = New();
  for (const Selector search : {kFindUsbDevices, kFindHidDevices}) {
    const size_t before = standin::MessageBoxes().size();
    standin::FailNext("SetupDiGetClassDevsA", 8);
    EXPECT_EQ(me.Call(search), "[]");
    EXPECT_EQ(standin::MessageBoxes().size(), before + 1) << search;
  }
}

// Without an input handler and without a call: the movie's next idle tells
// what the reader met, once, and the reports stay the movie's to read.
TEST_F(Diagnostics, WhatTheReaderMetReachesTheMovieAtTheNextIdleOnce) {
  const standin::DeviceId pad = Plug();
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  me.Call(kPrivateInstance, "1, 0, \"OnInternal\"");
  ASSERT_TRUE(Eventually([&] { return standin::PendingReadCount(pad) == 1; }));
  standin::FailNext("ReadFile", ERROR_GEN_FAILURE);
  standin::SendInputReport(pad, {1});
  standin::SendInputReport(pad, {2});
  // The reader tells of a failure before it reads on.
  ASSERT_TRUE(WaitForPackets(2));
  Idle();
  EXPECT_TRUE(std::regex_match(
      TakeHandlerCalls(), std::regex("OnInternal\\([0-9]+, \"A device attached to the system is not functioning.\", 31\\)\n")));

  standin::Unplug(pad);
  ASSERT_TRUE(ReadersEnded());
  Idle();
  EXPECT_TRUE(std::regex_match(TakeHandlerCalls(),
                               std::regex("OnInternal\\([0-9]+, \"The device is not connected.\", 1167\\)\n")));
  EXPECT_EQ(me.Call(kReadPacket), "[1, 0, 0, 0, 0, 0, 0, 0, 0]");
  me.Call(kGetStatus);
  Idle();
  EXPECT_EQ(TakeHandlerCalls(), "") << "told once";
}

TEST_F(Diagnostics, TheLogFileGetsTheStampAndEveryCallbacksArguments) {
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\logs\\hid.txt\""), "\"Ok\"");
  me.Call(kPrivateInstance, "2, 1, 50");
  me.Call(kIsOpen);
  me.Call(kNumberOfItemsInReadBuffer);
  const std::string log = FileText("c:\\logs\\hid.txt");
  EXPECT_TRUE(std::regex_match(
      log, std::regex("Code compile date:[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4}\n Code compile time:[0-9]{2}:[0-9]{2}:[0-9]{2}\n"
                      "-?[0-9]+: <\\*>:<m_privateLocal><Exit>\n"
                      "-?[0-9]+: <\\*>:<m_numCharsInReadBuffer><Enter>\n"
                      "-?[0-9]+: <\\*>:<m_numCharsInReadBuffer><Exit>\n")))
      << log;
}

TEST_F(Diagnostics, ErrorReportsAreLoggedWithTheirTags) {
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  me.Call(kPrivateInstance, "3, 1, \"c:\\errors.txt\"");
  me.Call(kOpenById, "1, 2");
  const std::string log = FileText("c:\\errors.txt");
  EXPECT_NE(log.find(std::string(": TStdXtra_IMoaMmXScript::InformUserOfErrorUsingDialog:Error :") + kNotFound + "\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(std::string(": <*>:<Desc:Error><Help:") + kNotFound + "><Debug:>\n"), std::string::npos) << log;
  EXPECT_NE(log.find(std::string("><Error><") + kNotFound + ">\n"), std::string::npos) << log;
}

// A log outlives the movie that wrote it: opening it again adds a stamp and
// what comes after, and never empties it.
TEST_F(Diagnostics, ReopeningTheLogAddsToItAndClosingKeepsWhatWasWritten) {
  ScriptInstance& me = New();
  me.Call(kPrivateInstance, "3, 1, \"c:\\again.txt\"");
  me.Call(kPrivateInstance, "2, 1, 50");
  me.Call(kIsOpen);
  me.Call(kFindUsbDevices);  // its list builder must leave the log open
  me.Call(kPrivateInstance, "2, 0, 50");
  const std::string before = FileText("c:\\again.txt");
  EXPECT_NE(before.find("<m_findDevices><Exit>"), std::string::npos) << before;
  me.Call(kPrivateInstance, "3, 0, \"c:\\again.txt\"");
  EXPECT_EQ(FileText("c:\\again.txt"), before);
  me.Call(kPrivateInstance, "3, 1, \"c:\\again.txt\"");
  const std::string after = FileText("c:\\again.txt");
  ASSERT_EQ(after.substr(0, before.size()), before);
  EXPECT_TRUE(std::regex_match(after.substr(before.size()),
                               std::regex("Code compile date:[^\n]*\n Code compile time:[^\n]*\n")))
      << after;
  me.Call(kPrivateInstance, "3, 0, \"\"");
}

// The log is the process's, but each instance's lines go to its own file,
// and a file is emptied only when a movie opens it.
TEST_F(Diagnostics, AnotherInstanceClosingTheLogLosesNoneOfThisOnesLines) {
  ScriptInstance& me = New();
  ScriptInstance other(host);
  me.Call(kShowErrorsAsDialogs, "0");
  me.Call(kPrivateInstance, "3, 1, \"c:\\mine.txt\"");
  me.Call(kOpenById, "1, 2");
  other.Call(kPrivateInstance, "3, 1, \"c:\\other.txt\"");
  other.Call(kPrivateInstance, "3, 0, \"\"");
  me.Call(kOpenById, "3, 4");
  const std::string mine = FileText("c:\\mine.txt");
  const std::string line = "InformUserOfErrorUsingDialog:Error :Open failed";
  const size_t first = mine.find(line);
  EXPECT_NE(first, std::string::npos) << mine;
  EXPECT_NE(mine.find(line, first + 1), std::string::npos) << "both opens' lines are there: " << mine;
  EXPECT_EQ(FileText("c:\\other.txt").find("Open failed"), std::string::npos);
  other.Forget();
}

// However long the name, the object logs on to the file it named before.
TEST_F(Diagnostics, ALogNameTooLongForItsBufferIsRefusedNotCut) {
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  const std::string fits = "c:\\" + std::string(92, 'n') + ".txt";
  ASSERT_EQ(fits.size(), 99u);
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"" + fits + "\""), "\"Ok\"");
  const char kTooLong[] = "The log file name is longer than 99 characters";
  for (const size_t length : {100, 101, 300}) {
    const std::string tooLong = "c:\\" + std::string(length - 7, 'n') + ".txt";
    EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"" + tooLong + "\""), std::string("\"Error :") + kTooLong + "\"")
        << length;
    std::error_code tooLongForLinux;
    EXPECT_FALSE(std::filesystem::exists(standin::NativePath(tooLong), tooLongForLinux)) << length;
    EXPECT_FALSE(std::filesystem::exists(standin::NativePath(tooLong.substr(0, 99)))) << length;
  }
  EXPECT_EQ(me.Call(kPrivateGlobal), "[[#Monitoring: 0, #NotifyWindow: 0, #LogOpen: 1, #InterfaceObjects: 2]]");
  const std::string log = FileText(fits);
  size_t refusals = 0;
  const std::string line = std::string("InformUserOfErrorUsingDialog:") + kTooLong + "\n";
  for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++refusals;
  EXPECT_EQ(refusals, 3u) << log;
  me.Call(kPrivateInstance, "3, 0, \"\"");
}

TEST_F(Diagnostics, AnEmptyLogNameCannotBeOpenedAndIsNoError) {
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"\""), "\"Ok\"");
  EXPECT_EQ(me.Call(kPrivateGlobal), "[[#Monitoring: 0, #NotifyWindow: 0, #LogOpen: 0, #InterfaceObjects: 2]]");
  me.Call(kPrivateInstance, "3, 0, \"\"");
}

TEST_F(Diagnostics, PrivateInstanceAnswersOkButForTheDebugBuildCommand) {
  ScriptInstance& me = New();
  EXPECT_EQ(me.Call(kPrivateInstance, "255, 0, 0"), "\"This is not a debug build - NOT VALID HERE\"");
  EXPECT_EQ(me.Call(kPrivateInstance, "7, 0, 0"), "\"Ok\"");
  EXPECT_EQ(me.Call(kPrivateInstance, "\"x\", 0, 0"), "\"Ok\"");
}

TEST_F(Diagnostics, ForgetDropsPendingCallbacksWithTheirValues) {
  ScriptInstance& me = New();
  me.Call(kWrite, "[#a: 1]");
  me.Call(kPrivateInstance, "2, 1, 50");
  me.Call(kIsOpen);
  me.Forget();
  Idle();
  EXPECT_EQ(TakeHandlerCalls(), "");
}

// Until Director collects an object kept in a global, its instance lives on
// and may be reached and called again.
TEST_F(Diagnostics, ErrorsOfAnInstanceReachedAgainStillReachTheMovie) {
  MoaMmValue global = kVoidMoaMmValue;  // the object, kept where Director has not collected it yet
  {
    ScriptInstance dropped(host);
    global = dropped.self();
    host.values().AddRef(global);
  }
  std::unique_ptr<ScriptInstance> again = ReachAgain();
  EXPECT_EQ(again->Call(kWrite, "[#a: 1]"), "\"Error :Cannot convert this type of parameter (argument 1)\"");
  Idle();
  EXPECT_NE(TakeHandlerCalls().find("HidBridge_XtraError"), std::string::npos);
  again->Forget();
  host.values().Release(global);
}

TEST_F(Diagnostics, AHandlerMayForgetTheInstanceWhileItsCallbacksAreDelivered) {
  ScriptInstance& me = New();
  host.player().Define("HidBridge_XtraError", [&](const std::vector<MoaMmValue>&) {
    me.Forget();
    return kVoidMoaMmValue;
  });
  me.Call(kShowErrorsAsDialogs, "0");
  me.Call(kWrite, "[#a: 1]");
  me.Call(kOpenById, "1, 2");
  Idle();
  EXPECT_EQ(TakeHandlerCalls().find("HidBridge_XtraError", 1), std::string::npos);
  EXPECT_EQ(me.Call(kIsOpen), "<Void>");
}

// A movie from the web names the log's file: once any file was emptied and
// overwritten, network names made Windows offer the user's credentials to a
// server, device names reached devices, and a log named run.bat in the
// Startup folder, holding a control's name that the movie chose, ran its
// commands. A refused name changes nothing: the object logs on as before.
TEST_F(Diagnostics, TheLogIsOnlyALogOrTextFileOnALocalDriveAndARefusalChangesNothing) {
  standin::SetDriveType('z', DRIVE_REMOTE);
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  ASSERT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\before.txt\""), "\"Ok\"");
  const auto answer = [](const char* error) { return std::string("\"Error :") + error + "\""; };
  const struct {
    const char* error;
    std::vector<std::string> names;
  } refusals[] = {
      {"The log file must be a full path on a local drive, such as c:\\HidBridge_XtraLog.txt",
       {"\\\\server\\share\\log.txt", "\\\\?\\c:\\log.txt", "\\\\.\\c:\\log.txt", "\\\\.\\COM1",
        "log.txt", "c:log.txt", "c:\\", "c:\\folder\\", "c:\\log.txt:hidden", "c:\\log.txt::$DATA",
        "c:\\log.txt:hidden.txt", "z:\\log.txt", "1:\\log.txt", "c:\\a\\\\b.txt", "c:\\a\tb.txt",
        "c:\\a\nb.txt"}},
      {"The log file name is one Windows keeps for a device, such as NUL, CON or COM1",
       {"c:\\nul", "c:\\NUL.txt", "c:\\dir\\COM1.txt", "c:\\dir\\lpt9", "c:\\Con .log", "c:\\aux. .txt",
        "c:\\prn.x.txt", "c:\\COM0.txt", "c:\\lpt0.log", "c:\\COM\xC2\xB9.txt", "c:\\lpt\xC2\xB2.log",
        "c:\\Com\xC2\xB3.txt", "c:\\conin$.txt", "c:\\ nul.txt", "c:\\con\\log.txt", "c:\\dir\\nul.\\log.txt"}},
      {"The log file name must end in .log or .txt",
       {"c:\\some\\folder\\run.bat", "c:\\Users\\me\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\"
        "Programs\\Startup\\run.cmd", "c:\\log", "c:\\log.txt.", "c:\\log.txt ", "c:\\log.txt. .",
        "c:\\log.txt.bat", "c:\\log.text", "c:\\log.tx", "c:\\log.htm", "c:\\txt"}},
  };
  size_t refused = 0;
  for (const auto& refusal : refusals) {
    for (const std::string& name : refusal.names) {
      EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"" + name + "\""), answer(refusal.error)) << name;
      EXPECT_EQ(me.Call(kPrivateInstance, "3, 0, \"" + name + "\""), answer(refusal.error)) << "closing " << name;
      refused += 2;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(standin::NativePath("c:\\some\\folder\\run.bat")));
  EXPECT_EQ(me.Call(kPrivateGlobal), "[[#Monitoring: 0, #NotifyWindow: 0, #LogOpen: 1, #InterfaceObjects: 2]]");
  const std::string log = FileText("c:\\before.txt");
  EXPECT_EQ(static_cast<size_t>(std::count(log.begin(), log.end(), '\n')), 2 + 3 * refused)
      << "each refusal logged, as every error, to the file named before: " << log;

  // Names only like those Windows keeps, and every letter case of the two
  // extensions, are taken.
  for (const char* name : {"C:\\LOG.TXT", "c:\\log.Log", "c:\\COM10.txt", "c:\\console.txt", "c:\\lpt.log",
                           "c:\\COM\xE2\x81\xB4.txt", "c:\\run.bat.txt", "c:\\.log"}) {
    EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"" + std::string(name) + "\""), "\"Ok\"") << name;
  }
  me.Call(kPrivateInstance, "3, 0, \"\"");
}

// Once a file that began as a log does was emptied and overwritten.
TEST_F(Diagnostics, TheLogAddsOnlyToItsOwnLogAndLeavesEveryOtherFileAsItWas) {
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  ASSERT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\logs\\hid.txt\""), "\"Ok\"");
  me.Call(kOpenById, "1, 2");
  const std::string kNotOurs = "\"Error :The log file exists and is not HidBridge's log\"";
  const std::string kStamp = "Code compile date:Jan  5 2024\r\n Code compile time:13:05:59\r\n";
  std::filesystem::create_directories(standin::NativePath("c:\\Users\\me"));
  for (const std::string& document :
       {std::string("Dear Sir"), std::string("Code compile date:\r\nDear Sir\r\n"), kStamp + "Dear Sir\r\n",
        kStamp + "123: <*>:<1>\r\nDear Sir\r\n"}) {
    std::ofstream(standin::NativePath("c:\\Users\\me\\letter.txt"), std::ios::binary) << document;
    EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\Users\\me\\letter.txt\""), kNotOurs) << document;
    EXPECT_EQ(FileText("c:\\Users\\me\\letter.txt"), document);
  }
  std::filesystem::create_directories(standin::NativePath("c:\\logs\\folder.txt"));
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\logs\\folder.txt\""), "\"Error :The log file name is a folder\"");
  EXPECT_EQ(me.Call(kPrivateGlobal), "[[#Monitoring: 0, #NotifyWindow: 0, #LogOpen: 1, #InterfaceObjects: 2]]");

  // An empty file holds nothing to lose, and a log HidBridge wrote, even
  // another build, is added to.
  std::ofstream(standin::NativePath("c:\\empty.txt")).flush();
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\empty.txt\""), "\"Ok\"");
  std::ofstream(standin::NativePath("c:\\old.log"), std::ios::binary) << kStamp + "-5: <*>:<1>\r\n";
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\old.log\""), "\"Ok\"");
  EXPECT_EQ(FileText("c:\\old.log").rfind(kStamp + "-5: <*>:<1>\r\nCode compile date:", 0), 0u);
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"C:/logs/hid.txt\""), "\"Ok\"") << "its own log again";
  EXPECT_NE(FileText("c:\\logs\\hid.txt").find(kNotFound), std::string::npos) << "not emptied";
  me.Call(kPrivateInstance, "3, 0, \"\"");
}

// A control's name is the movie's text, and so is every text a handler call
// carries: a line break in it must not end the log's line.
TEST_F(Diagnostics, TheMoviesTextsCannotMakeALineOfTheLog) {
  using namespace items;
  standin::DeviceSpec lamp = Pad();
  lamp.reportDescriptor = Descriptor({UsagePage(0x08), Usage(0x01), Application(), UsageMinimum(1), UsageMaximum(1),
                                      LogicalMinimum(0), LogicalMaximum(1), ReportSize(1), ReportCount(1),
                                      Output(kVariable), ReportCount(7), Output(kConstant), EndCollection()});
  Plug(lamp);
  ScriptInstance& me = New();
  ASSERT_EQ(me.Call(kOpenById, kPadIds), "\"Ok\"");
  me.Call(kShowErrorsAsDialogs, "0");
  ASSERT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\escaped.txt\""), "\"Ok\"");
  me.Call(kWriteUsages, "[\"x\n1: <*>:forged\r\t\x01\x7F\": 1]");
  const std::string log = FileText("c:\\escaped.txt");
  EXPECT_EQ(log.find("\n1: <*>:forged"), std::string::npos) << log;
  EXPECT_NE(log.find("#x\\n1: <*>:forged\\r\\t\\x01\\x7F is no output control"), std::string::npos) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2 + 3) << log;
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\escaped.txt\""), "\"Ok\"") << "still wholly a log";
  me.Call(kPrivateInstance, "3, 0, \"\"");
}

// Neither log is closed in between: each line still lands in its own
// object's file.
TEST_F(Diagnostics, TwoObjectsLoggingAtOnceEachWriteTheirOwnFile) {
  ScriptInstance& mine = New();
  ScriptInstance theirs(host);
  ASSERT_TRUE(theirs.alive());
  for (ScriptInstance* me : {&mine, &theirs}) me->Call(kShowErrorsAsDialogs, "0");
  mine.Call(kPrivateInstance, "3, 1, \"c:\\mine.txt\"");
  theirs.Call(kPrivateInstance, "3, 1, \"c:\\theirs.txt\"");
  mine.Call(kOpenById, "1, 1");
  theirs.Call(kOpenById, "2, 2");
  mine.Call(kOpenByProductName, "\"Mine\"");
  theirs.Call(kOpenByProductName, "\"Theirs\"");
  Idle();
  const std::string mineLog = FileText("c:\\mine.txt");
  const std::string theirLog = FileText("c:\\theirs.txt");
  // Each object's errors, both of them, in its own file: "<Error><1>" is
  // the first object's, "<Error><2>" the second's.
  const auto count = [](const std::string& log, const std::string& piece) {
    size_t found = 0;
    for (size_t at = log.find(piece); at != std::string::npos; at = log.find(piece, at + 1)) ++found;
    return found;
  };
  EXPECT_EQ(count(mineLog, "<Error><1>"), 2u) << mineLog;
  EXPECT_EQ(count(mineLog, "<Error><2>"), 0u) << mineLog;
  EXPECT_EQ(count(theirLog, "<Error><2>"), 2u) << theirLog;
  EXPECT_EQ(count(theirLog, "<Error><1>"), 0u) << theirLog;
  theirs.Call(kPrivateInstance, "3, 0, \"\"");
  theirs.Forget();
  theirs.Dispose();
  mine.Call(kPrivateInstance, "3, 0, \"\"");
}

}  // namespace

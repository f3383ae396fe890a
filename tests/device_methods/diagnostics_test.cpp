// How the movie hears of what happened: the trace, the log file, deferred
// handler calls, error callbacks and message boxes.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <unistd.h>

#include "simulated_devices.h"

namespace {

const char kNotFound[] = "Open failed - did not find device that matched the vendor/product ids";

class Diagnostics : public SimulatedDevices {
 protected:
  void SetUp() override {
    SimulatedDevices::SetUp();
    driveRoot = testing::TempDir() + "hidbridge-drives-" + std::to_string(::getpid());
    standin::SetDriveRoot(driveRoot);
  }
  void TearDown() override {
    SimulatedDevices::TearDown();
    standin::SetDriveRoot("");
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

TEST_F(Diagnostics, ReopeningTheLogEmptiesItAndClosingKeepsWhatWasWritten) {
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
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 2) << after;
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

TEST_F(Diagnostics, ALogNameTooLongForItsBufferIsRefusedNotCut) {
  ScriptInstance& me = New();
  const std::string fits = "c:\\" + std::string(92, 'n') + ".txt";
  const std::string tooLong = "c:\\" + std::string(93, 'n') + ".txt";
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"" + tooLong + "\""),
            "\"Error :The log file name is longer than 99 characters\"");
  EXPECT_EQ(me.Call(kPrivateGlobal), "[[#Monitoring: 0, #NotifyWindow: 0, #LogOpen: 0, #InterfaceObjects: 2]]");
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"" + fits + "\""), "\"Ok\"");
  EXPECT_NE(FileText(fits).find("Code compile date:"), std::string::npos);
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
// server, and device names reached devices.
TEST_F(Diagnostics, TheLogWritesOnlyLocalFilesThatAreItsOwnOrNew) {
  standin::SetDriveType('z', DRIVE_REMOTE);
  ScriptInstance& me = New();
  me.Call(kShowErrorsAsDialogs, "0");
  const char kNotLocal[] =
      "\"Error :The log file must be a full path on a local drive, such as c:\\HidBridge_XtraLog.txt\"";
  for (const char* name : {"\\\\server\\share\\log.txt", "\\\\?\\c:\\log.txt", "\\\\.\\c:\\log.txt", "log.txt",
                           "c:log.txt", "c:\\", "c:\\folder\\", "c:\\nul", "c:\\dir\\COM1.txt", "c:\\dir\\lpt9",
                           "c:\\Con .log", "c:\\log.txt:hidden", "z:\\log.txt", "1:\\log.txt", "c:\\a\\\\b.txt"}) {
    std::string literal = "\"";
    for (const char* c = name; *c; ++c) literal += *c;
    EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, " + literal + "\""), kNotLocal) << name;
  }
  EXPECT_EQ(me.Call(kPrivateGlobal), "[[#Monitoring: 0, #NotifyWindow: 0, #LogOpen: 0, #InterfaceObjects: 2]]");

  // A user's document is left as it was, and nothing is logged into it.
  const std::string document = standin::NativePath("c:\\Users\\me\\letter.txt");
  std::filesystem::create_directories(std::filesystem::path(document).parent_path());
  std::ofstream(document) << "Dear Sir";
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\Users\\me\\letter.txt\""),
            "\"Error :The log file exists and is not HidBridge's log\"");
  me.Call(kOpenById, "1, 2");
  EXPECT_EQ(FileText("c:\\Users\\me\\letter.txt"), "Dear Sir");

  // Its own log, and an empty file, are taken.
  std::ofstream(standin::NativePath("c:\\empty.txt")).flush();
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\empty.txt\""), "\"Ok\"");
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"C:/logs/hid.txt\""), "\"Ok\"");
  me.Call(kOpenById, "1, 2");
  EXPECT_EQ(me.Call(kPrivateInstance, "3, 1, \"c:\\logs\\hid.txt\""), "\"Ok\"") << "its own log again";
  EXPECT_EQ(FileText("c:\\logs\\hid.txt").find(kNotFound), std::string::npos) << "emptied";
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

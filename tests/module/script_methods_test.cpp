// A script's view of an instance without a device: new, the methods that
// need no device to answer, and forget, with nothing left behind.
#include "loaded_xtra.h"
#include "selectors.h"
#include "script_instance.h"

namespace {

class ScriptMethods : public LoadedXtra {
 protected:
  void TearDown() override {
    if (me) me->Forget();
    me.reset();
    LoadedXtra::TearDown();
  }
  ScriptInstance& New() {
    me.reset(new ScriptInstance(host));
    return *me;
  }
  std::unique_ptr<ScriptInstance> me;
};

TEST_F(ScriptMethods, AFreshInstanceIsClosedAndItsBufferEmpty) {
  ScriptInstance& hid = New();
  ASSERT_TRUE(hid.alive());
  EXPECT_EQ(hid.Call(kIsOpen), "0");
  EXPECT_EQ(hid.Call(kRead), "[]");
  EXPECT_EQ(hid.Call(kReadPacket), "[]");
  EXPECT_EQ(hid.Call(kReadReport), "[]");
  EXPECT_EQ(hid.Call(kNumberOfItemsInReadBuffer), "0");
  EXPECT_EQ(hid.Call(kNumberOfPacketsInReadBuffer), "0");
  EXPECT_EQ(hid.Call(kDoNotBufferPackets, "1"), "<Void>");
  EXPECT_EQ(hid.Call(kClose), "\"Ok\"");
}

TEST_F(ScriptMethods, VersionStringIsTheMethodTablesFirstLine) {
  EXPECT_EQ(New().Call(kGetVersionString), "\"xtra HidBridge -- WINTEL version 1.0.11(U)(S) (Release build)\n\"");
}

TEST_F(ScriptMethods, CapabilitiesBeforeAnyOpenAreFifteenZeros) {
  EXPECT_EQ(New().Call(kGetCapabilities),
            "[[#Usage: 0, #UsagePage: 0, #InputReportByteLength: 0, #OutputReportByteLength: 0, "
            "#FeatureReportByteLength: 0, #NumberLinkCollectionNodes: 0, #NumberInputButtonCaps: 0, "
            "#NumberInputValueCaps: 0, #NumberInputDataIndices: 0, #NumberOutputButtonCaps: 0, "
            "#NumberOutputValueCaps: 0, #NumberOutputDataIndices: 0, #NumberFeatureButtonCaps: 0, "
            "#NumberFeatureValueCaps: 0, #NumberFeatureDataIndices: 0]]");
}

// Director's own value, written out here apart from the Xtra's: a status
// that drifts from it would pass unseen were both to share one constant.
TEST_F(ScriptMethods, SelectorsOutsideTheTableAreRefusedAsOutOfRangeAndSetNoResult) {
  static_assert(kMoaMmErr_ArgOutOfRange == static_cast<MoaError>(0x800407D8u), "MAKE_MOAERR(2000 + 8)");
  ScriptInstance& hid = New();
  const MoaLong pastTheTable = kSetInputHandler + 1;
  for (const MoaLong selector : {pastTheTable, MoaLong{0x7FFFFFFF}, MoaLong{-1}, MoaLong{-0x7FFFFFFF - 1}}) {
    MoaMmValue result = kVoidMoaMmValue;
    EXPECT_EQ(hid.CallWithValues(selector, {}, &result), kMoaMmErr_ArgOutOfRange) << selector;
    EXPECT_EQ(result.ty, kVoidMoaMmValue.ty) << selector;
  }
  EXPECT_EQ(hid.Call(pastTheTable), "<Error 0x800407D8: the Xtra refused selector 37>");
  EXPECT_EQ(hid.Call(kIsOpen), "0") << "the instance answers as before";
  EXPECT_EQ(hid.status(), kMoaErr_NoErr);
}

TEST_F(ScriptMethods, WriteWithoutAnOpenDeviceFailsAndSendsNothing) {
  ScriptInstance& hid = New();
  EXPECT_EQ(hid.Call(kWrite, "\"A\", 1"), "\"Error :Device is not open\"");
  EXPECT_EQ(hid.Call(kWrite), "\"Error :Device is not open\"");
}

// Before anything is sent, and whatever follows it.
TEST_F(ScriptMethods, WriteRefusesAnyArgumentThatCannotBeSentAndSaysWhich) {
  ScriptInstance& hid = New();
  EXPECT_EQ(hid.Call(kWrite, "1, [#a: 2]"), "\"Error :Cannot convert this type of parameter (argument 2)\"");
  EXPECT_EQ(hid.Call(kWrite, "1, 2.5"), "\"Error :Cannot convert this type of parameter (argument 2)\"");
  EXPECT_EQ(hid.Call(kWrite, "[#a: 2], 7"), "\"Error :Cannot convert this type of parameter (argument 1)\"");
  EXPECT_EQ(hid.Call(kWrite, "1.5, 2"), "\"Error :Cannot convert this type of parameter (argument 1)\"");
  EXPECT_EQ(hid.Call(kWrite, "VOID, 4"), "\"Error :Cannot convert this type of parameter (argument 1)\"");
  EXPECT_EQ(hid.Call(kWrite, "#sym, 5"), "\"Error :Cannot convert this type of parameter (argument 1)\"");
  EXPECT_EQ(hid.Call(kWrite, "[1, [2, 3.5]], 4"), "\"Error :Cannot convert this type of parameter (argument 1)\"");
}

TEST_F(ScriptMethods, ArgumentsOfTheWrongTypeReadAsZeroOrEmpty) {
  ScriptInstance& hid = New();
  hid.Call(kShowErrorsAsDialogs, "0");
  EXPECT_EQ(hid.Call(kOpenById, "\"1133\", [1]"),
            "\"Error :Open failed - did not find device that matched the vendor/product ids\"");
  for (const char* notAName : {"[\"Pad\"]", "VOID", "42", ""})
    EXPECT_EQ(hid.Call(kOpenByProductName, notAName), "\"Error :Open failed - the product name is not a string\"")
        << notAName;
  EXPECT_EQ(hid.Call(kOpenById), "\"Error :Open failed - did not find device that matched the vendor/product ids\"");
  EXPECT_EQ(hid.Call(kIsOpen, "#what"), "0");
}

TEST_F(ScriptMethods, ForgetTwiceIsHarmlessAndLaterCallsAnswerNothing) {
  ScriptInstance& hid = New();
  EXPECT_EQ(hid.Forget(), "<Void>");
  EXPECT_EQ(hid.Forget(), "<Void>");
  EXPECT_EQ(hid.Call(kIsOpen), "<Void>");
  EXPECT_EQ(hid.Call(kRead), "<Void>");
  EXPECT_EQ(hid.Call(kWrite, "1"), "<Void>");
  EXPECT_EQ(hid.Call(kGetVersionString), "<Void>");
}

TEST_F(ScriptMethods, NewRegistersForNotificationsAndForgetUnregisters) {
  ScriptInstance& hid = New();
  EXPECT_EQ(host.notification().registrations().size(), 1u);
  hid.Forget();
  EXPECT_EQ(host.notification().registrations().size(), 0u);
}

// Director may give the Xtra time inside a movie handler that the Xtra
// called (a handler that pumps, a modal box): nothing is delivered then, no
// handler runs twice, and a forget waits for the delivery's end.
TEST_F(ScriptMethods, DeliveryNeverNestsAndAForgetInsideItWaitsForItsEnd) {
  ScriptInstance& hid = New();
  int calls = 0;
  host.player().Define("HidBridge_XtraError", [&](const std::vector<MoaMmValue>& arguments) {
    EXPECT_EQ(arguments.size(), 1u);
    if (++calls == 1) {
      host.notification().NotifyAll();
      hid.Forget();
      host.notification().NotifyAll();
    }
    return kVoidMoaMmValue;
  });
  hid.Call(kWrite, "[#a: 1]");
  hid.Call(kWrite, "2.5");
  host.notification().NotifyAll();
  EXPECT_EQ(calls, 1) << "the second error was dropped by the forget";
  EXPECT_EQ(hid.Call(kIsOpen), "<Void>");
  EXPECT_TRUE(host.notification().registrations().empty());
}

TEST_F(ScriptMethods, TwoInstancesLiveSideBySide) {
  ScriptInstance first(host);
  ScriptInstance second(host);
  EXPECT_EQ(first.Call(kIsOpen), "0");
  EXPECT_EQ(second.Call(kIsOpen), "0");
  EXPECT_EQ(host.notification().registrations().size(), 2u);
  first.Forget();
  second.Forget();
}

}  // namespace

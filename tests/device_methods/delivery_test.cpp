// Director may give the Xtra time while it is busy with the movie's own
// handlers: a handler that lets Director idle, or a message box that a
// method shows. Nothing runs twice, nothing is lost to a nested call, and
// nothing is freed under the code that uses it.
#include <algorithm>
#include <functional>

#include "host_windows.h"
#include "lingo_literals.h"
#include "simulated_devices.h"

namespace {

class Delivery : public SimulatedDevices {
 protected:
  // The movie's XtraError handler: records its argument's #Help and runs
  // `inside` on its first call.
  void OnXtraError(std::function<void()> inside) {
    host.player().Define("HidBridge_XtraError", [this, inside](const std::vector<MoaMmValue>& arguments) {
      helps += arguments.empty() ? std::string("<none>") : HelpOf(arguments[0]);
      helps += "\n";
      if (!ranInside) {
        ranInside = true;
        inside();
      }
      return kVoidMoaMmValue;
    });
  }
  std::string HelpOf(const MoaMmValue& report) {
    const std::string text = FormatLiteral(host.values(), report);
    const size_t at = text.find("#Help: ");
    return at == std::string::npos ? text : text.substr(at + 7, text.size() - at - 8);
  }
  // Three errors, each filed for the XtraError handler.
  void FileThreeErrors(ScriptInstance& me) {
    me.Call(kShowErrorsAsDialogs, "0");
    me.Call(kWrite, "[#a: 1]");
    me.Call(kWrite, "2.5");
    me.Call(kWrite, "1");
  }

  std::string helps;
  bool ranInside = false;
};

const char kThreeErrors[] =
    "\"Cannot convert this type of parameter (argument 1)\"\n"
    "\"Cannot convert this type of parameter (argument 1)\"\n"
    "\"Device is not open\"\n";

TEST_F(Delivery, AHandlerThatLetsDirectorIdleGetsNoDeliveryInsideItsOwn) {
  ScriptInstance& me = New();
  OnXtraError([this] { Idle(); });
  FileThreeErrors(me);
  Idle();
  EXPECT_EQ(helps, kThreeErrors) << "each handler once, with its argument, in order";
  Idle();
  EXPECT_EQ(helps, kThreeErrors);
}

TEST_F(Delivery, AForgetInsideADeliveryWaitsForItsEndEvenWhenDirectorIdles) {
  ScriptInstance& me = New();
  OnXtraError([this, &me] {
    me.Forget();
    Idle();
    EXPECT_EQ(me.Call(kIsOpen), "<Void>") << "forgotten at once for the movie";
  });
  FileThreeErrors(me);
  Idle();
  EXPECT_EQ(helps, std::string(kThreeErrors).substr(0, helps.size())) << "the rest was dropped";
  EXPECT_EQ(std::count(helps.begin(), helps.end(), '\n'), 1);
  EXPECT_TRUE(host.notification().registrations().empty());
}

TEST_F(Delivery, ForgetThenNewInOneDeliveryLeavesOneLiveInstanceAndNoStrayClient) {
  ScriptInstance& me = New();
  OnXtraError([&me] {
    me.Forget();
    me.Call(kNew);
    me.Call(kWrite, "2.5");  // filed anew after the queue was dropped
  });
  FileThreeErrors(me);
  Idle();
  Idle();
  const std::string cannotConvert = "\"Cannot convert this type of parameter (argument 1)\"\n";
  EXPECT_EQ(helps, cannotConvert + cannotConvert) << "the error filed by the new instance is delivered, once";
  EXPECT_EQ(me.Call(kIsOpen), "0");
  EXPECT_EQ(host.notification().registrations().size(), 1u);
  me.Forget();
  EXPECT_TRUE(host.notification().registrations().empty());
}

// The box of a failed open: Director runs the movie's Lingo meanwhile.
TEST_F(Delivery, ACallMadeWhileAMethodShowsItsBoxLeavesThatMethodsAnswerAlone) {
  ScriptInstance& me = New();
  std::string inside;
  standin::SetMessageBoxHandler([&](const standin::MessageBoxCall&) {
    inside = me.Call(kIsOpen) + " " + me.Call(kClose);
    Idle();
    return IDOK;
  });
  me.Call(kPrivateInstance, "2, 1, 50");
  Idle();
  TakeHandlerCalls();
  EXPECT_EQ(me.Call(kOpenById, "1, 2"),
            "\"Error :Open failed - did not find device that matched the vendor/product ids\"");
  EXPECT_EQ(inside, "0 \"Ok\"");
  EXPECT_EQ(TakeHandlerCalls(), "") << "nothing was delivered while the open ran";
  Idle();
  EXPECT_NE(TakeHandlerCalls().find("HidBridge_XtraError"), std::string::npos);
}

}  // namespace

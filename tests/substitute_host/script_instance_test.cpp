// Script instances as the host drives them, against a fake script interface:
// what each call passes, that forget comes when the last reference goes,
// and that the host lets go of all it made.
#include "test_framework.h"

#include <functional>
#include <utility>

#include "host_errors.h"
#include "lingo_literals.h"
#include "script_instance.h"
#include "xtra_side.h"

namespace {

using namespace director;

struct FakeScript : CountedObject<xtra_view::IMoaMmXScript> {
  explicit FakeScript(LingoValueStore& store) : values(store) {}

  MoaError XTRA_CALL Call(MoaMmCallInfo* info) override {
    calls.push_back(std::to_string(info->methodSelector) + "(" +
                    FormatLiterals(values, info->pArgs, static_cast<size_t>(info->nargs)) + ")");
    reserved = {reinterpret_cast<uintptr_t>(info->xinst), static_cast<uintptr_t>(info->methodFlags)};
    if (during) during(info);
    if (!IsNull(answer)) values.AddRef(answer);
    info->resultValue = answer;
    return status;
  }

  LingoValueStore& values;
  std::vector<std::string> calls;
  std::pair<uintptr_t, uintptr_t> reserved;
  MoaMmValue answer = values.String("Ok");
  MoaError status = kMoaErr_NoErr;
  std::function<void(MoaMmCallInfo*)> during;
};

class ScriptInstances : public testing::Test {
 protected:
  void TearDown() override {
    me.reset();
    values.Release(script.answer);
    EXPECT_EQ(values.Leaks(), std::vector<std::string>{});
    EXPECT_EQ(instance.references, 0);
    EXPECT_EQ(script.references, 0);
    EXPECT_EQ(watch.Misuses(), expectedMisuses);
  }

  // Hands the instance the references it adopts.
  ScriptInstance* New() {
    instance.AddRef();
    script.AddRef();
    me = std::make_unique<ScriptInstance>(values, watch, instance.ForHost<IMoaUnknown>(),
                                          script.ForHost<IMoaMmXScript>(), "HidBridge");
    return me.get();
  }

  LingoValueStore values;
  HostWatch watch;
  CountedObject<xtra_view::IMoaUnknown> instance;
  FakeScript script{values};
  std::unique_ptr<ScriptInstance> me;
  std::vector<std::string> expectedMisuses;
};

TEST_F(ScriptInstances, EveryCallPassesTheInstanceFirstInDirectorsRecord) {
  ScriptInstance* object = New();
  ASSERT_TRUE(object->alive());
  EXPECT_EQ(object->Call(10, "\"A\", 1"), "\"Ok\"");
  EXPECT_EQ(script.calls, (std::vector<std::string>{"0(<Object HidBridge 1>)", "10(<Object HidBridge 1>, \"A\", 1)"}));
  // Director's reserved fields: recognisable, and nothing to rely on.
  EXPECT_EQ(script.reserved, (std::pair<uintptr_t, uintptr_t>{0xBAD1, 0x4A554E4B}));
  EXPECT_EQ(values.liveValues(), 2u);  // the instance's own value and the fake's answer
}

TEST_F(ScriptInstances, TheHostCallsForgetWhenTheLastReferenceGoes) {
  New();
  me.reset();
  EXPECT_EQ(script.calls, (std::vector<std::string>{"0(<Object HidBridge 1>)", "1(<Object HidBridge 1>)"}));
}

TEST_F(ScriptInstances, AForgetCalledAlreadyIsNotRepeated) {
  ScriptInstance* object = New();
  EXPECT_EQ(object->Forget(), "\"Ok\"");
  object->Dispose();
  EXPECT_FALSE(object->alive());
  EXPECT_EQ(script.calls.size(), 2u);
}

TEST_F(ScriptInstances, AnObjectStillHeldElsewhereIsNotForgotten) {
  ScriptInstance* object = New();
  const MoaMmValue kept = object->self();
  values.AddRef(kept);
  object->Dispose();
  EXPECT_EQ(script.calls.size(), 1u);
  values.Release(kept);
  EXPECT_EQ(script.calls.back(), "1(<Object HidBridge 1>)");
}

TEST_F(ScriptInstances, CallingWithValuesLeavesTheArgumentsToTheCallerAndGivesAResult) {
  ScriptInstance* object = New();
  const MoaMmValue argument = values.Integer(4);
  MoaMmValue result = kVoidMoaMmValue;
  ASSERT_EQ(object->CallWithValues(5, {argument}, &result), kMoaErr_NoErr);
  EXPECT_EQ(values.references(argument), 1);
  EXPECT_EQ(FormatLiteral(values, result), "\"Ok\"");
  values.Release(argument);
  values.Release(result);
}

TEST_F(ScriptInstances, AnXtraThatChangesOrReleasesItsArgumentsOrAnswersNullMisusesTheCall) {
  ScriptInstance* object = New();
  HostValueService service(watch, values);
  auto* xtraValues = static_cast<xtra_view::IMoaMmValue*>(service.door());
  script.during = [&](MoaMmCallInfo* info) { xtraValues->ValueRelease(&info->pArgs[1]); };
  const MoaMmValue argument = values.Integer(4);
  values.AddRef(argument);
  MoaMmValue result = kVoidMoaMmValue;
  object->CallWithValues(5, {argument}, &result);
  values.Release(result);
  values.Release(argument);
  script.during = [](MoaMmCallInfo* info) { info->pArgs[0] = kVoidMoaMmValue; };
  object->Call(6);
  script.during = nullptr;
  const MoaMmValue ok = std::exchange(script.answer, kNullMoaMmValue);
  EXPECT_EQ(object->Call(7), "<Void>");
  script.answer = ok;
  expectedMisuses = {"IMoaMmXScript::Call of selector 5: released argument 1, which the caller owns",
                     "IMoaMmXScript::Call of selector 6: changed argument 0, which the caller owns",
                     "IMoaMmXScript::Call of selector 7: a null result {0,0}; void is {2,0}"};
}

TEST_F(ScriptInstances, AFailedCallIsReportedAndItsResultReleased) {
  ScriptInstance* object = New();
  script.status = static_cast<MoaError>(0x80040010u);
  EXPECT_EQ(object->Call(3), "<Error 0x80040010: the Xtra refused selector 3>");
  EXPECT_EQ(object->status(), script.status);
  script.status = kMoaErr_NoErr;
  EXPECT_EQ(object->Call(3), "\"Ok\"");
  EXPECT_EQ(object->status(), kMoaErr_NoErr);
  EXPECT_EQ(object->error(), "");
}

TEST_F(ScriptInstances, UnreadableArgumentsAreRefusedBeforeTheXtraIsCalled) {
  ScriptInstance* object = New();
  EXPECT_EQ(object->Call(10, "\"A\", [1"), "<Error 0x80040017: arguments: column 8: expected , or ] in the list>");
  EXPECT_EQ(script.calls.size(), 1u);
}

TEST_F(ScriptInstances, ACallAfterDisposeIsRefusedAndDisposingTwiceDoesNothing) {
  ScriptInstance* object = New();
  object->Dispose();
  object->Dispose();
  EXPECT_EQ(object->Call(2), "<Error 0x80040016: no live instance>");
  MoaMmValue result{1, 1};
  EXPECT_EQ(object->CallWithValues(2, {}, &result), kHostErr_NoInstance);
  EXPECT_TRUE(IsVoid(result));
  EXPECT_EQ(script.calls.size(), 2u);  // new, and forget as the object went
}

TEST_F(ScriptInstances, AFailedNewLeavesNoInstanceAndNothingToForget) {
  script.status = kMoaErr_OutOfMem;
  ScriptInstance* object = New();
  EXPECT_FALSE(object->alive());
  EXPECT_EQ(object->status(), kMoaErr_OutOfMem);
  EXPECT_EQ(script.calls.size(), 1u);
}

TEST_F(ScriptInstances, DisposingDuringACallForgetsWhenTheCallEnds) {
  ScriptInstance* object = New();
  bool first = true;
  script.during = [&](MoaMmCallInfo*) {
    if (!std::exchange(first, false)) return;
    object->Dispose();
    EXPECT_EQ(script.references, 2);
    EXPECT_EQ(instance.references, 1);
  };
  EXPECT_EQ(object->Call(4), "\"Ok\"");
  EXPECT_FALSE(object->alive());
  EXPECT_EQ(script.calls.back(), "1(<Object HidBridge 1>)");
}

TEST(ScriptInstance, WithoutAnXtraNothingIsMadeAndCallsAreRefused) {
  DirectorHost host;
  ScriptInstance object(host);
  EXPECT_FALSE(object.alive());
  EXPECT_EQ(object.error(), "no Xtra is loaded");
  EXPECT_EQ(object.Call(2, "1"), "<Error 0x80040016: no live instance>");
  EXPECT_TRUE(host.Leaks().empty());
}

}  // namespace

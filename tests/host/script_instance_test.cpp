// Script instances as the host drives them, against a fake script interface:
// what each call passes, and that the host lets go of all it made.
#include "test_framework.h"

#include <functional>

#include "host_errors.h"
#include "lingo_literals.h"
#include "script_instance.h"

namespace {

struct FakeScript : HostObject<IMoaMmXScript> {
  explicit FakeScript(LingoValueStore& store) : HostObject(IID_IMoaMmXScript), values(store) {}

  MoaError MOA_CALL Call(MoaMmCallInfo* info) override {
    calls.push_back(std::to_string(info->methodSelector) + "(" +
                    FormatLiterals(values, info->pArgs, static_cast<size_t>(info->nargs)) + ")");
    if (during) during();
    info->resultValue = values.String("Ok");
    return status;
  }

  LingoValueStore& values;
  std::vector<std::string> calls;
  MoaError status = kMoaErr_NoErr;
  std::function<void()> during;
};

class ScriptInstances : public testing::Test {
 protected:
  void TearDown() override {
    me.reset();
    EXPECT_EQ(values.Leaks(), std::vector<std::string>{});
    EXPECT_EQ(instance.references(), 0);
    EXPECT_EQ(script.references(), 0);
  }

  // Hands the instance the references it adopts.
  ScriptInstance* New() {
    instance.AddRef();
    script.AddRef();
    me = std::make_unique<ScriptInstance>(values, &instance, &script, "HidBridge");
    return me.get();
  }

  LingoValueStore values;
  HostObject<IMoaUnknown> instance{IID_IMoaUnknown};
  FakeScript script{values};
  std::unique_ptr<ScriptInstance> me;
};

TEST_F(ScriptInstances, EveryCallPassesTheInstanceFirstAndAnswersTheResultAsALiteral) {
  ScriptInstance* object = New();
  ASSERT_TRUE(object->alive());
  EXPECT_EQ(object->Call(10, "\"A\", 1"), "\"Ok\"");
  EXPECT_EQ(object->Forget(), "\"Ok\"");
  EXPECT_EQ(script.calls, (std::vector<std::string>{"0(<Object HidBridge 1>)",
                                                    "10(<Object HidBridge 1>, \"A\", 1)",
                                                    "1(<Object HidBridge 1>)"}));
  EXPECT_EQ(values.liveValues(), 1u);  // the instance's own value, until it is disposed
  object->Dispose();
  EXPECT_FALSE(object->alive());
}

TEST_F(ScriptInstances, CallingWithValuesLeavesTheArgumentsToTheCallerAndGivesAResult) {
  ScriptInstance* object = New();
  const MoaMmValue argument = values.Integer(4);
  MoaMmValue result{};
  ASSERT_EQ(object->CallWithValues(5, {argument}, &result), kMoaErr_NoErr);
  EXPECT_EQ(values.references(argument), 1);
  EXPECT_EQ(values.references(result), 1);
  EXPECT_EQ(FormatLiteral(values, result), "\"Ok\"");
  values.Release(argument);
  values.Release(result);
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
  MoaMmValue result{{1, 1}};
  EXPECT_EQ(object->CallWithValues(2, {}, &result), kHostErr_NoInstance);
  EXPECT_TRUE(IsVoid(result));
  EXPECT_EQ(script.calls.size(), 1u);
}

TEST_F(ScriptInstances, AFailedNewLeavesNoInstance) {
  script.status = kMoaErr_OutOfMem;
  ScriptInstance* object = New();
  EXPECT_FALSE(object->alive());
  EXPECT_EQ(object->status(), kMoaErr_OutOfMem);
}

TEST_F(ScriptInstances, DisposingDuringACallWaitsForTheCallToEnd) {
  ScriptInstance* object = New();
  script.during = [&] {
    object->Dispose();
    EXPECT_EQ(script.references(), 1);
    EXPECT_EQ(instance.references(), 1);
  };
  EXPECT_EQ(object->Call(4), "\"Ok\"");
  EXPECT_FALSE(object->alive());
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

// The value store: references, what goes when, and handles it must refuse.
#include "test_framework.h"

#include "host_errors.h"
#include "lingo_values.h"

namespace {

using namespace director;

TEST(ValueStore, AValueGoesWithItsLastReferenceAndItsHandleTurnsStale) {
  LingoValueStore values;
  const MoaMmValue number = values.Integer(7);
  EXPECT_EQ(values.AddRef(number), kMoaErr_NoErr);
  EXPECT_EQ(values.references(number), 2);
  EXPECT_EQ(values.Release(number), kMoaErr_NoErr);
  ASSERT_NE(values.Find(number), nullptr);
  EXPECT_EQ(values.Release(number), kMoaErr_NoErr);
  EXPECT_EQ(values.liveValues(), 0u);
  EXPECT_EQ(values.Find(number), nullptr);
  EXPECT_EQ(values.Release(number), kHostErr_BadValue);
  EXPECT_EQ(values.badUses(), 2);
}

TEST(ValueStore, AReusedSlotDoesNotReviveTheOldHandle) {
  LingoValueStore values;
  const MoaMmValue old = values.String("old");
  values.Release(old);
  const MoaMmValue fresh = values.String("fresh");
  EXPECT_EQ(fresh.ty, old.ty);
  EXPECT_EQ(values.Find(old), nullptr);
  EXPECT_EQ(values.AddRef(old), kHostErr_BadValue);
  EXPECT_EQ(values.references(fresh), 1);
  values.Release(fresh);
}

TEST(ValueStore, MadeUpHandlesAreRefusedNeverFollowed) {
  LingoValueStore values;
  const MoaMmValue real = values.Integer(1);
  for (const MoaMmValue forged : {MoaMmValue{0, 1}, MoaMmValue{-1, 0}, MoaMmValue{real.ty, 0},
                                  MoaMmValue{real.ty + 1, real.it}, MoaMmValue{0x7FFFFFFF, 5}}) {
    EXPECT_EQ(values.Find(forged), nullptr);
    EXPECT_EQ(values.AddRef(forged), kHostErr_BadValue);
    EXPECT_EQ(values.Release(forged), kHostErr_BadValue);
  }
  EXPECT_EQ(values.references(real), 1);
  values.Release(real);
  EXPECT_EQ(values.Leaks(), std::vector<std::string>{"15 use(s) of a released or made-up value"});
}

TEST(ValueStore, VoidIsTwoZeroAndNeedsNoReferencesWhileTheNullInitializerIsNoValue) {
  LingoValueStore values;
  ASSERT_NE(values.Find(kVoidMoaMmValue), nullptr);
  EXPECT_EQ(values.Find(kVoidMoaMmValue)->type, kMoaMmValueType_Void);
  EXPECT_EQ(values.AddRef(kVoidMoaMmValue), kMoaErr_NoErr);
  EXPECT_EQ(values.Release(kVoidMoaMmValue), kMoaErr_NoErr);
  EXPECT_TRUE(values.Leaks().empty());
  EXPECT_EQ(values.Find(kNullMoaMmValue), nullptr);
  // No handle looks like void, even in its first half alone.
  for (int i = 0; i < 3; ++i) EXPECT_NE(values.Integer(i).ty, kVoidMoaMmValue.ty);
}

TEST(ValueStore, ListsHoldTheirOwnReferencesAndReleaseThemWhenTheyGo) {
  LingoValueStore values;
  const MoaMmValue list = values.List();
  const MoaMmValue item = values.Integer(5);
  ASSERT_EQ(values.Append(list, item), kMoaErr_NoErr);
  EXPECT_EQ(values.references(item), 2);
  values.Release(item);
  EXPECT_EQ(values.Find(item)->integer, 5);
  values.Release(list);
  EXPECT_EQ(values.liveValues(), 0u);
}

TEST(ValueStore, AppendingChecksTheKindOfListAndEveryHandle) {
  LingoValueStore values;
  const MoaMmValue list = values.List();
  const MoaMmValue props = values.PropList();
  const MoaMmValue key = values.Symbol("Key");
  const MoaMmValue stale = values.Integer(1);
  values.Release(stale);
  EXPECT_EQ(values.Append(props, key), kHostErr_WrongType);
  EXPECT_EQ(values.AppendProperty(list, key, key), kHostErr_WrongType);
  EXPECT_EQ(values.Append(key, key), kHostErr_WrongType);
  EXPECT_EQ(values.Append(list, stale), kHostErr_BadValue);
  EXPECT_EQ(values.AppendProperty(props, key, stale), kHostErr_BadValue);
  EXPECT_EQ(values.references(key), 1);
  EXPECT_EQ(values.Append(list, kVoidMoaMmValue), kMoaErr_NoErr);
  for (const MoaMmValue& value : {list, props, key}) values.Release(value);
  EXPECT_EQ(values.liveValues(), 0u);
}

TEST(ValueStore, DeeplyNestedListsGoWithoutRecursion) {
  LingoValueStore values;
  MoaMmValue inner = values.List();
  for (int i = 0; i < 100000; ++i) {
    const MoaMmValue outer = values.List();
    values.Append(outer, inner);
    values.Release(inner);
    inner = outer;
  }
  values.Release(inner);
  EXPECT_EQ(values.liveValues(), 0u);
}

TEST(ValueStore, LeaksNameTheValuesHeldFromOutsideOnly) {
  LingoValueStore values;
  const MoaMmValue list = values.List();
  const MoaMmValue text = values.String("kept");
  const MoaMmValue number = values.Integer(1);
  values.Append(list, number);
  values.Release(number);  // held by the list alone now: leaked with it, not named
  values.Append(list, text);
  EXPECT_EQ(values.Leaks(),
            (std::vector<std::string>{"value [1, \"kept\"]: 1 reference(s)", "value \"kept\": 2 reference(s)"}));
  values.Release(text);
  values.Release(list);
  EXPECT_EQ(values.badUses(), 0);
}

TEST(ValueStore, ListsThatHoldEachOtherAreReportedThoughNothingOutsideHoldsThem) {
  LingoValueStore values;
  const MoaMmValue first = values.List();
  const MoaMmValue second = values.List();
  values.Append(first, second);
  values.Append(second, first);
  values.Release(first);
  values.Release(second);
  EXPECT_EQ(values.Leaks(), std::vector<std::string>{"2 value(s) kept alive only by lists holding each other"});
}

TEST(ValueStore, SymbolsIgnoreCaseAndKeepTheirFirstSpelling) {
  LingoValueStore values;
  const MoaMmSymbol first = values.Intern("VendorID");
  EXPECT_EQ(values.Intern("vendorid"), first);
  EXPECT_EQ(*values.SymbolName(first), "VendorID");
  EXPECT_NE(values.Intern("ProductID"), first);
  EXPECT_EQ(values.SymbolName(0), nullptr);
  EXPECT_EQ(values.SymbolName(99), nullptr);
  EXPECT_TRUE(IsVoid(values.Symbol(MoaMmSymbol{99})));
}

TEST(ValueStore, AnObjectHearsOfItsLastReferenceOnceWhileItStillLives) {
  LingoValueStore values;
  std::vector<std::string> heard;
  const MoaMmValue object = values.Object("HidBridge", [&](const MoaMmValue& self) {
    heard.push_back(values.Find(self)->text + " with " + std::to_string(values.references(self)));
  });
  EXPECT_EQ(values.Find(object)->type, kMoaMmValueType_Object);
  values.AddRef(object);
  values.Release(object);
  EXPECT_TRUE(heard.empty());
  values.Release(object);
  EXPECT_EQ(heard, std::vector<std::string>{"HidBridge with 1"});
  EXPECT_EQ(values.liveValues(), 0u);
}

TEST(ValueStore, AnObjectThatTakesAReferenceAtItsEndLivesOnAndIsNotToldAgain) {
  LingoValueStore values;
  int told = 0;
  const MoaMmValue object = values.XtraReference("HidBridge", [&](const MoaMmValue& self) {
    ++told;
    values.AddRef(self);
  });
  values.Release(object);
  EXPECT_EQ(values.references(object), 1);
  values.Release(object);
  EXPECT_EQ(told, 1);
  EXPECT_EQ(values.liveValues(), 0u);
}

}  // namespace

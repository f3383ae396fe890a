// The bridge between Lingo values and the Xtra's bytes, texts and lists,
// against the substitute host's real value and list services.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "director_host.h"
#include "host/collection_properties.h"
#include "host_doubles.h"
#include "lingo_literals.h"
#include "values/host_services.h"
#include "values/host_value.h"
#include "values/list_builder.h"

namespace {

// The host declares Director's records itself: a value is the same 8 bytes
// on both sides, and the host's objects are what the Xtra's pointers point at.
template <class To, class From>
To Same(const From& value) {
  static_assert(sizeof(To) == sizeof(From));
  To same;
  std::memcpy(&same, &value, sizeof same);
  return same;
}

// The host's value store, seen with the Xtra's values.
class XtraSideValues {
 public:
  explicit XtraSideValues(LingoValueStore& store) : store_(store) {}
  MoaMmValue Integer(int32_t number) { return Same<MoaMmValue>(store_.Integer(number)); }
  MoaMmValue List() { return Same<MoaMmValue>(store_.List()); }
  MoaMmValue Picture() { return Same<MoaMmValue>(store_.Picture()); }
  void Append(const MoaMmValue& list, const MoaMmValue& item) {
    store_.Append(Same<director::MoaMmValue>(list), Same<director::MoaMmValue>(item));
  }
  void Release(const MoaMmValue& value) { store_.Release(Same<director::MoaMmValue>(value)); }

 private:
  LingoValueStore& store_;
};

class ValueBridge : public testing::Test {
 protected:
  void TearDown() override {
    for (const MoaMmValue& value : made) values.Release(value);
    services.reset();
    for (const std::string& leak : host.Leaks()) ADD_FAILURE() << "left behind: " << leak;
  }

  MoaMmValue Parse(const std::string& literal) {
    director::MoaMmValue value = director::kVoidMoaMmValue;
    std::string error;
    EXPECT_TRUE(ParseLiteral(host.values(), literal, &value, &error)) << error;
    made.push_back(Same<MoaMmValue>(value));
    return made.back();
  }

  // The bytes that Write would send for these arguments, and the last status.
  std::vector<int> Bytes(const std::string& arguments, XtraResult* last = nullptr) {
    std::vector<director::MoaMmValue> read;
    std::string error;
    EXPECT_TRUE(ParseLiterals(host.values(), arguments, &read, &error)) << error;
    std::vector<uint8_t> payload(HostServices::kPayloadCapacity);
    uint32_t count = 0;
    XtraResult result;
    for (const director::MoaMmValue& value : read) {
      const MoaMmValue argument = Same<MoaMmValue>(value);
      result = services->ValueToBytes(&argument, payload.data(), count);
      host.values().Release(value);
    }
    if (last) *last = result;
    return std::vector<int>(payload.begin(), payload.begin() + count);
  }

  std::string Literal(const MoaMmValue& value) {
    return FormatLiteral(host.values(), Same<director::MoaMmValue>(value));
  }
  IMoaCallback* Callback() { return static_cast<IMoaCallback*>(host.callback().door()); }

  DirectorHost host;
  XtraSideValues values{host.values()};
  std::unique_ptr<HostServices> services{new HostServices(Callback())};
  std::vector<MoaMmValue> made;
};

TEST_F(ValueBridge, IntegersBelow256AreOneByteOthersFourLittleEndian) {
  EXPECT_EQ(Bytes("255"), (std::vector<int>{0xFF}));
  EXPECT_EQ(Bytes("256"), (std::vector<int>{0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(Bytes("-1"), (std::vector<int>{0xFF}));
  EXPECT_EQ(Bytes("-300"), (std::vector<int>{0xD4}));
  EXPECT_EQ(Bytes("300, 5"), (std::vector<int>{0x2C, 0x01, 0x00, 0x00, 0x05}));
  EXPECT_EQ(Bytes("1000"), (std::vector<int>{0xE8, 0x03, 0x00, 0x00}));
}

TEST_F(ValueBridge, StringsGiveTheirCharactersAndListsAreFlattened) {
  EXPECT_EQ(Bytes("\"AB\""), (std::vector<int>{0x41, 0x42}));
  EXPECT_EQ(Bytes("[1, [2, \"Z\"]]"), (std::vector<int>{0x01, 0x02, 0x5A}));
  EXPECT_EQ(Bytes("\"A\", 1"), (std::vector<int>{0x41, 0x01}));
}

TEST_F(ValueBridge, EmptyValuesAndHostType5AddNothingAndAreNoError) {
  XtraResult last;
  EXPECT_TRUE(Bytes("\"\"", &last).empty());
  EXPECT_FALSE(last.isError);
  EXPECT_TRUE(Bytes("[]", &last).empty());
  EXPECT_FALSE(last.isError);
  const MoaMmValue picture = values.Picture();
  made.push_back(picture);
  uint8_t payload[4];
  uint32_t count = 0;
  EXPECT_FALSE(services->ValueToBytes(&picture, payload, count).isError);
  EXPECT_EQ(count, 0u);
}

TEST_F(ValueBridge, PropertyListsFloatsAndVoidCannotBeSent) {
  for (const char* literal : {"[#a: 1]", "2.5", "VOID", "#symbol"}) {
    XtraResult last;
    EXPECT_TRUE(Bytes(literal, &last).empty()) << literal;
    EXPECT_TRUE(last.isError) << literal;
    EXPECT_STREQ(last.message, "Cannot convert this type of parameter") << literal;
  }
  XtraResult last;
  Bytes("[1, [#a: 2], 3]", &last);
  EXPECT_STREQ(last.message, "Cannot convert this type of parameter") << "an element spoils its whole list";
}

TEST_F(ValueBridge, PayloadStopsAtItsCapacity) {
  const std::string kilobyte(1024, 'x');
  std::string arguments;
  for (int i = 0; i < 70; ++i) arguments += (i ? ", \"" : "\"") + kilobyte + "\"";
  EXPECT_EQ(Bytes(arguments).size(), HostServices::kPayloadCapacity);
}

TEST_F(ValueBridge, DeeplyNestedListsAreRefusedNotFollowedForever) {
  MoaMmValue nested = values.Integer(1);
  for (int depth = 0; depth < 200; ++depth) {
    const MoaMmValue outer = values.List();
    values.Append(outer, nested);
    values.Release(nested);
    nested = outer;
  }
  made.push_back(nested);
  uint8_t payload[8];
  uint32_t count = 0;
  EXPECT_TRUE(services->ValueToBytes(&nested, payload, count).isError);
  EXPECT_EQ(count, 0u);
  std::vector<char> text(HostServices::kLogTextCapacity, '\0');
  size_t length = 0;
  services->ValueToLogText(&nested, text.data(), length);
  EXPECT_EQ(length, 0u);
}

// l1 = [l0, l0], l2 = [l1, l1], ...: 2^levels leaves, shared, as Lingo's
// append makes them.
MoaMmValue Doubled(XtraSideValues& values, MoaMmValue leaf, int levels) {
  for (int level = 0; level < levels; ++level) {
    const MoaMmValue twice = values.List();
    values.Append(twice, leaf);
    values.Append(twice, leaf);
    values.Release(leaf);
    leaf = twice;
  }
  return leaf;
}

TEST_F(ValueBridge, SharedListsStopAsSoonAsThePayloadIsFull) {
  const MoaMmValue shared = Doubled(values, values.Integer(7), 24);
  made.push_back(shared);
  std::vector<uint8_t> payload(HostServices::kPayloadCapacity);
  uint32_t count = 0;
  EXPECT_FALSE(services->ValueToBytes(&shared, payload.data(), count).isError);
  EXPECT_EQ(count, HostServices::kPayloadCapacity);
  EXPECT_EQ(std::count(payload.begin(), payload.end(), 7), static_cast<long>(count));
}

TEST_F(ValueBridge, SharedListsOfNothingAreRefusedAfterSoManyElements) {
  const MoaMmValue shared = Doubled(values, values.List(), 40);
  made.push_back(shared);
  uint8_t payload[8];
  uint32_t count = 0;
  const XtraResult result = services->ValueToBytes(&shared, payload, count);
  EXPECT_STREQ(result.message, "Lists hold too many elements to send");
  EXPECT_EQ(count, 0u);
}

// l = [1]; append(l, l); append(l, l). Lingo frees no such list, nor does the
// substitute host: the list and its 1 stay behind.
class SelfContainingList : public ValueBridge {
 protected:
  void TearDown() override {
    for (const MoaMmValue& value : made) values.Release(value);
    services.reset();
    EXPECT_EQ(host.Leaks(), std::vector<std::string>{"2 value(s) kept alive only by lists holding each other"});
  }
};

TEST_F(SelfContainingList, IsRefusedAtOnceForItsDepth) {
  const MoaMmValue self = Parse("[1]");
  values.Append(self, self);
  values.Append(self, self);
  std::vector<uint8_t> payload(HostServices::kPayloadCapacity);
  uint32_t count = 0;
  EXPECT_STREQ(services->ValueToBytes(&self, payload.data(), count).message, "Lists nested too deeply");
  std::vector<char> text(HostServices::kLogTextCapacity, '\0');
  size_t length = 0;
  services->ValueToLogText(&self, text.data(), length);
  EXPECT_LT(length, HostServices::kLogTextCapacity);
}

TEST_F(ValueBridge, ATextTheHostLeavesUnterminatedIsEndedInsideItsBuffer) {
  UnterminatedTexts careless(host);
  {
    HostServices viaCareless(Callback());
    const MoaMmValue text = Parse("\"" + std::string(20000, 'q') + "\"");
    std::vector<uint8_t> payload(HostServices::kPayloadCapacity);
    uint32_t count = 0;
    EXPECT_FALSE(viaCareless.ValueToBytes(&text, payload.data(), count).isError);
    EXPECT_GT(count, 10000u);
    EXPECT_EQ(std::count(payload.begin(), payload.begin() + count, 'q'), static_cast<long>(count));
    std::vector<char> log(HostServices::kLogTextCapacity, '\0');
    size_t length = 0;
    viaCareless.ValueToLogText(&text, log.data(), length);
    EXPECT_EQ(std::string(log.data()), "<" + std::string(count, 'q') + ">");
  }
}

TEST_F(ValueBridge, AListTheHostCannotFinishIsLetGoAndNotHandedOut) {
  FailingAppends lists(host, 2, kMoaErr_OutOfMem);
  {
    HostServices viaFailing(Callback());
    const uint8_t bytes[] = {1, 2, 3};
    MoaMmValue answer = Parse("99");
    EXPECT_EQ(viaFailing.BytesToList(bytes, 3, &answer), kMoaErr_OutOfMem);
    EXPECT_EQ(Literal(answer), "99") << "the answer is left as it was";
  }
}

TEST_F(ValueBridge, BytesBecomeAListOfUnsignedIntegers) {
  const uint8_t bytes[] = {0x00, 0x80, 0xFF};
  MoaMmValue list{};
  EXPECT_EQ(services->BytesToList(bytes, 3, &list), kMoaErr_NoErr);
  EXPECT_EQ(Literal(list), "[0, 128, 255]");
  values.Release(list);
  EXPECT_EQ(services->BytesToList(bytes, 0, &list), kMoaErr_NoErr);
  EXPECT_EQ(Literal(list), "[]");
  values.Release(list);
}

TEST_F(ValueBridge, LogTextShowsValuesFlatWithoutKeys) {
  std::vector<char> text(HostServices::kLogTextCapacity, '\0');
  size_t length = 0;
  const MoaMmValue nested = Parse("[1, \"ab\", [2, 3]]");
  services->ValueToLogText(&nested, text.data(), length);
  EXPECT_STREQ(text.data(), "<1><ab><2><3>");
  length = 0;
  const MoaMmValue properties = Parse("[#x: 5, #y: \"z\"]");
  services->ValueToLogText(&properties, text.data(), length);
  EXPECT_STREQ(text.data(), "<5><z>");
}

TEST_F(ValueBridge, LogTextStopsAtItsCapacity) {
  const MoaMmValue big = Parse("\"" + std::string(15000, 'y') + "\"");
  std::vector<char> text(HostServices::kLogTextCapacity, '\0');
  size_t length = 0;
  for (int i = 0; i < 5; ++i) services->ValueToLogText(&big, text.data(), length);
  EXPECT_EQ(length, HostServices::kLogTextCapacity - 1);
  EXPECT_EQ(std::string(text.data()).size(), length);
}

TEST_F(ValueBridge, PropertiesAreAddedToAPropertyListTheListServicesMade) {
  MoaMmValue list = kVoidMoaMmValue;
  EXPECT_EQ(services->NewPropList(&list), kMoaErr_NoErr);
  EXPECT_EQ(services->AddIntegerProperty(&list, "VendorID", 1133), kMoaErr_NoErr);
  EXPECT_EQ(services->AddStringProperty(&list, "Product", "Pad"), kMoaErr_NoErr);
  EXPECT_EQ(Literal(list), "[#VendorID: 1133, #Product: \"Pad\"]");
  values.Release(list);
}

TEST_F(ValueBridge, BuilderNestsListsAndPropertyListsAsOpened) {
  MoaMmValue answer{};
  ListBuilder builder(*services, ListBuilder::Shape::List);
  builder.Open(ListBuilder::Shape::PropList);
  builder.Integer("VendorID", 1);
  builder.Symbol("Kind", "input");
  builder.Void("Hat");
  builder.Open(ListBuilder::Shape::List, "Keys");
  builder.Symbol(nullptr, "KeyA");
  builder.Close();
  builder.Close();
  builder.Open(ListBuilder::Shape::PropList);
  builder.String("Product", "B");
  EXPECT_EQ(builder.HandTo(&answer), kMoaErr_NoErr) << "what is still open is closed";
  EXPECT_EQ(Literal(answer), "[[#VendorID: 1, #Kind: #input, #Hat: <Void>, #Keys: [#KeyA]], [#Product: \"B\"]]");
  values.Release(answer);
  ListBuilder empty(*services, ListBuilder::Shape::PropList);
  EXPECT_EQ(empty.HandTo(&answer), kMoaErr_NoErr);
  EXPECT_EQ(Literal(answer), "[:]");
  values.Release(answer);
}

TEST_F(ValueBridge, ABuilderThatFailedOnceHandsOnNothingAndKeepsTheFirstFailure) {
  FailingAppends lists(host, 2, kMoaErr_OutOfMem);
  HostServices viaFailing(Callback());
  MoaMmValue answer = Parse("99");
  ListBuilder builder(viaFailing, ListBuilder::Shape::List);
  for (int i = 0; i < 4; ++i) builder.Integer(nullptr, i);
  EXPECT_EQ(builder.HandTo(&answer), kMoaErr_OutOfMem);
  EXPECT_EQ(Literal(answer), "99") << "the answer is left as it was";
}

}  // namespace

// Every temporary value goes back to the host exactly once, unless it is
// handed on; the fixture's end finds a leak or a second release.
TEST_F(ValueBridge, AHostValueGivesBackItsReferenceOnceUnlessHandedOn) {
  IMoaMmValue* service = services->values();
  IMoaMmList* lists = services->lists();
  MoaMmValue handedOn = kVoidMoaMmValue;
  {
    HostValue replaced(service);
    ASSERT_EQ(lists->NewListValue(replaced.out()), kMoaErr_NoErr);
    ASSERT_EQ(lists->NewListValue(replaced.out()), kMoaErr_NoErr) << "out() gives back the first list";
    HostValue moved(std::move(replaced));
    EXPECT_EQ(Literal(*replaced.get()), "<Void>");
    HostValue answer(service);
    ASSERT_EQ(lists->NewPropListValue(answer.out()), kMoaErr_NoErr);
    handedOn = answer.release();
    EXPECT_EQ(Literal(*answer.get()), "<Void>");
  }
  EXPECT_EQ(Literal(handedOn), "[:]");
  made.push_back(handedOn);
}

TEST_F(ValueBridge, SharedArgumentsTakeAReferenceOfTheirOwnOnEachValue) {
  const MoaMmValue arguments[3] = {Parse("[1, 2]"), kVoidMoaMmValue, Parse("\"text\"")};
  HostValues shared = HostValues::Share(services->values(), arguments, 3);
  HostValues taken(std::move(shared));
  EXPECT_EQ(shared.size(), 0u);
  ASSERT_EQ(taken.size(), 3u);
  // The caller lets go of its own; the copies still read.
  for (const MoaMmValue& argument : arguments)
    if (argument.ty != kVoidMoaMmValue.ty) values.Release(argument);
  made.clear();
  EXPECT_EQ(Literal(taken[0]), "[1, 2]");
  EXPECT_EQ(Literal(taken[2]), "\"text\"");
}

TEST_F(ValueBridge, AFilterTheHostLeavesUnterminatedIsReadInsideItsBuffers) {
  UnterminatedTexts careless(host);
  {
    HostServices viaCareless(Callback());
    std::string error;
    CollectionFilter longKey;
    EXPECT_FALSE(longKey.Read(viaCareless, Parse("[\"" + std::string(200, 'k') + "\": 1]"), error));
    EXPECT_EQ(error, "#" + std::string(63, 'k') + " is not a property of a HID collection");
    CollectionFilter longProduct;
    EXPECT_TRUE(longProduct.Read(viaCareless, Parse("[#Product: \"" + std::string(2000, 'p') + "\"]"), error))
        << error;
  }
}

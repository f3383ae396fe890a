// The value and list services as the Xtra reaches them: through the host
// callback, with every reference they hand out counted.
#include "test_framework.h"

#include <cstring>

#include "director_host.h"
#include "host_errors.h"
#include "lingo_literals.h"

namespace {

class ValueServices : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(host.callback().QueryInterface(&IID_IMoaMmValue, reinterpret_cast<void**>(&value)), kMoaErr_NoErr);
    ASSERT_EQ(host.callback().QueryInterface(&IID_IMoaMmList, reinterpret_cast<void**>(&list)), kMoaErr_NoErr);
  }
  void TearDown() override {
    value->Release();
    list->Release();
    EXPECT_EQ(host.Leaks(), expectedLeaks);
  }

  MoaMmValue Literal(const std::string& text) {
    MoaMmValue read{};
    std::string error;
    EXPECT_TRUE(ParseLiteral(host.values(), text, &read, &error)) << error;
    return read;
  }
  std::string Text(const MoaMmValue& of) { return FormatLiteral(host.values(), of); }

  DirectorHost host;
  IMoaMmValue* value = nullptr;
  IMoaMmList* list = nullptr;
  std::vector<std::string> expectedLeaks;
};

TEST_F(ValueServices, ConversionsAnswerOnlyForTheirOwnType) {
  MoaMmValue number{}, text{};
  ASSERT_EQ(value->IntegerToValue(-42, &number), kMoaErr_NoErr);
  ASSERT_EQ(value->StringToValue("Pad", &text), kMoaErr_NoErr);
  MoaLong type = -1, integer = 0;
  EXPECT_EQ(value->ValueType(&text, &type), kMoaErr_NoErr);
  EXPECT_EQ(type, kMoaMmValueType_String);
  EXPECT_EQ(value->ValueToInteger(&number, &integer), kMoaErr_NoErr);
  EXPECT_EQ(integer, -42);
  EXPECT_EQ(value->ValueToInteger(&text, &integer), kHostErr_WrongType);
  char buffer[8] = "unset";
  EXPECT_EQ(value->ValueToString(&number, buffer, sizeof buffer), kHostErr_WrongType);
  EXPECT_STREQ(buffer, "");
  for (const char* other : {"1.5", "#Pad", "<Picture>", "[1]"}) {
    const MoaMmValue wrong = Literal(other);
    EXPECT_EQ(value->ValueToInteger(&wrong, &integer), kHostErr_WrongType) << other;
    EXPECT_EQ(value->ValueToString(&wrong, buffer, sizeof buffer), kHostErr_WrongType) << other;
    value->ValueRelease(const_cast<MoaMmValue*>(&wrong));
  }
  value->ValueRelease(&number);
  value->ValueRelease(&text);
}

TEST_F(ValueServices, TextIsCutToTheBufferAndAlwaysTerminated) {
  MoaMmValue text{};
  value->StringToValue("HidBridge", &text);
  char buffer[6];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(value->ValueToString(&text, buffer, 4), kMoaErr_NoErr);
  EXPECT_STREQ(buffer, "Hid");
  EXPECT_EQ(buffer[4], 'x');
  EXPECT_EQ(value->ValueToString(&text, buffer, 1), kMoaErr_NoErr);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(value->ValueToString(&text, buffer, 0), kHostErr_BadArgument);
  EXPECT_EQ(value->ValueToString(&text, nullptr, 6), kHostErr_BadArgument);
  value->ValueRelease(&text);
}

TEST_F(ValueServices, SymbolsComeBackAsValuesOnlyWhenKnown) {
  MoaMmSymbol symbol = 0, again = 0;
  ASSERT_EQ(value->StringToSymbol("HidBridge_XtraError", &symbol), kMoaErr_NoErr);
  ASSERT_EQ(value->StringToSymbol("hidbridge_xtraerror", &again), kMoaErr_NoErr);
  EXPECT_EQ(again, symbol);
  EXPECT_EQ(value->StringToSymbol("", &again), kHostErr_BadSymbol);
  MoaMmValue out{{1, 1}};
  EXPECT_EQ(value->SymbolToValue(symbol + 1, &out), kHostErr_BadSymbol);
  EXPECT_TRUE(IsVoid(out));
  ASSERT_EQ(value->SymbolToValue(symbol, &out), kMoaErr_NoErr);
  EXPECT_EQ(Text(out), "#HidBridge_XtraError");
  value->ValueRelease(&out);
}

TEST_F(ValueServices, ReleasedAndMadeUpValuesAreRefusedAndReported) {
  MoaMmValue number{};
  value->IntegerToValue(1, &number);
  EXPECT_EQ(value->ValueRelease(&number), kMoaErr_NoErr);
  MoaLong type = 0;
  char buffer[4];
  EXPECT_EQ(value->ValueRelease(&number), kHostErr_BadValue);
  EXPECT_EQ(value->ValueAddRef(&number), kHostErr_BadValue);
  EXPECT_EQ(value->ValueType(&number, &type), kHostErr_BadValue);
  EXPECT_EQ(value->ValueToString(&number, buffer, 4), kHostErr_BadValue);
  EXPECT_EQ(list->CountElements(&number), 0);
  EXPECT_EQ(value->ValueType(nullptr, &type), kHostErr_BadArgument);
  EXPECT_EQ(value->IntegerToValue(1, nullptr), kHostErr_BadArgument);
  EXPECT_EQ(host.values().liveValues(), 0u);
  EXPECT_EQ(host.values().badUses(), 5);
  expectedLeaks = {"5 use(s) of a released or made-up value"};
}

TEST_F(ValueServices, ListsCountAndIndexFromOneAndHandOutNewReferences) {
  MoaMmValue linear{}, props{};
  ASSERT_EQ(list->NewListValue(&linear), kMoaErr_NoErr);
  ASSERT_EQ(list->NewPropListValue(&props), kMoaErr_NoErr);
  MoaMmValue key{}, item{};
  value->SymbolToValue(host.values().Intern("VendorID"), &key);
  value->IntegerToValue(1133, &item);
  EXPECT_EQ(list->AppendValueToList(&linear, &item), kMoaErr_NoErr);
  EXPECT_EQ(list->AppendValueToPropList(&props, &key, &item), kMoaErr_NoErr);
  EXPECT_EQ(list->AppendValueToList(&props, &item), kHostErr_WrongType);
  EXPECT_EQ(list->AppendValueToPropList(&linear, &key, &item), kHostErr_WrongType);
  EXPECT_EQ(host.values().references(item), 3);
  value->ValueRelease(&key);
  value->ValueRelease(&item);
  EXPECT_EQ(Text(props), "[#VendorID: 1133]");
  EXPECT_EQ(list->CountElements(&linear), 1);
  EXPECT_EQ(list->CountElements(&props), 1);

  MoaMmValue got{};
  ASSERT_EQ(list->GetValueByIndex(&props, 1, &got), kMoaErr_NoErr);
  EXPECT_EQ(Text(got), "1133");
  EXPECT_EQ(host.values().references(got), 3);
  value->ValueRelease(&got);
  for (MoaLong outside : {0, 2, -1}) {
    got = MoaMmValue{{1, 1}};
    EXPECT_EQ(list->GetValueByIndex(&linear, outside, &got), kHostErr_BadIndex) << outside;
    EXPECT_TRUE(IsVoid(got));
  }
  MoaMmValue number{};
  value->IntegerToValue(3, &number);
  EXPECT_EQ(list->CountElements(&number), 0);
  EXPECT_EQ(list->GetValueByIndex(&number, 1, &got), kHostErr_WrongType);
  for (MoaMmValue* made : {&linear, &props, &number}) value->ValueRelease(made);
}

TEST(HostCallback, OffersEveryServiceAndReportsReferencesLeftOrReleasedTooOften) {
  DirectorHost host;
  const MoaID offered[] = {IID_IMoaMmValue, IID_IMoaMmList, IID_IMoaMmPlayer,
                           IID_IMoaNotification, IID_IMoaMmUtils, IID_IMoaIdle};
  std::vector<IMoaUnknown*> services;
  for (const MoaID& iid : offered) {
    void* service = nullptr;
    ASSERT_EQ(host.callback().QueryInterface(&iid, &service), kMoaErr_NoErr);
    services.push_back(static_cast<IMoaUnknown*>(service));
  }
  EXPECT_EQ(host.Leaks(), (std::vector<std::string>{
                              "IMoaMmValue service: 1 reference(s)", "IMoaMmList service: 1 reference(s)",
                              "IMoaMmPlayer service: 1 reference(s)", "IMoaNotification service: 1 reference(s)",
                              "IMoaMmUtils service: 1 reference(s)", "idle service: 1 reference(s)"}));
  void* window = nullptr;
  EXPECT_EQ(static_cast<IMoaMmUtils*>(services[4])->GetMainWindow(&window), kMoaErr_NoErr);
  EXPECT_EQ(window, HostUtils::MainWindow());
  IMoaUnknown* movie = nullptr;
  ASSERT_EQ(static_cast<IMoaMmPlayer*>(services[2])->GetActiveMovie(&movie), kMoaErr_NoErr);
  void* movie2 = nullptr;
  EXPECT_EQ(movie->QueryInterface(&IID_IMoaDrMovie2, &movie2), kMoaErr_NoErr);
  EXPECT_EQ(host.Leaks()[3], "active movie: 2 reference(s)");
  static_cast<IMoaUnknown*>(movie2)->Release();
  movie->Release();
  for (IMoaUnknown* service : services) service->Release();
  services[5]->Release();
  EXPECT_EQ(host.Leaks(), std::vector<std::string>{"idle service: -1 reference(s)"});
}

}  // namespace

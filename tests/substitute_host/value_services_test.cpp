// The value and list services as the Xtra reaches them: through the host
// callback and the Xtra's own declarations of Director's slots, with every
// reference they hand out counted and every null value recorded.
#include "test_framework.h"

#include <cstring>

#include "director_host.h"
#include "host_errors.h"
#include "host_windows.h"
#include "lingo_literals.h"
#include "xtra_side.h"

namespace {

using namespace director;

class ValueServices : public testing::Test {
 protected:
  void SetUp() override {
    value = AskHost<xtra_view::IMoaMmValue>(host, IID_IMoaMmValue);
    list = AskHost<xtra_view::IMoaMmList>(host, IID_IMoaMmList);
    ASSERT_TRUE(value != nullptr && list != nullptr);
  }
  void TearDown() override {
    value->Release();
    list->Release();
    EXPECT_EQ(host.Leaks(), expectedLeaks);
  }

  MoaMmValue Literal(const std::string& text) {
    MoaMmValue read = kVoidMoaMmValue;
    std::string error;
    EXPECT_TRUE(ParseLiteral(host.values(), text, &read, &error)) << error;
    return read;
  }
  std::string Text(const MoaMmValue& of) { return FormatLiteral(host.values(), of); }

  DirectorHost host;
  xtra_view::IMoaMmValue* value = nullptr;
  xtra_view::IMoaMmList* list = nullptr;
  std::vector<std::string> expectedLeaks;
};

TEST_F(ValueServices, ConversionsAnswerOnlyForTheirOwnTypeWithDirectorsTypeCodes) {
  MoaMmValue number = kVoidMoaMmValue, text = kVoidMoaMmValue;
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
  const std::pair<const char*, MoaLong> others[] = {
      {"1.5", kMoaMmValueType_Float}, {"#Pad", kMoaMmValueType_Symbol},  {"<Picture>", kMoaMmValueType_Picture},
      {"[1]", kMoaMmValueType_List},  {"[:]", kMoaMmValueType_PropList}, {"VOID", kMoaMmValueType_Void}};
  for (const auto& [literal, code] : others) {
    MoaMmValue wrong = Literal(literal);
    EXPECT_EQ(value->ValueType(&wrong, &type), kMoaErr_NoErr) << literal;
    EXPECT_EQ(type, code) << literal;
    EXPECT_EQ(value->ValueToInteger(&wrong, &integer), kHostErr_WrongType) << literal;
    EXPECT_EQ(value->ValueToString(&wrong, buffer, sizeof buffer), kHostErr_WrongType) << literal;
    value->ValueRelease(&wrong);
  }
  double real = 0;
  EXPECT_EQ(value->ValueToFloat(&number, &real), kMoaErr_NoErr);
  EXPECT_EQ(real, -42.0);
  value->ValueRelease(&number);
  value->ValueRelease(&text);
}

TEST_F(ValueServices, TextMustFitTheBufferWithItsTerminator) {
  MoaMmValue text = kVoidMoaMmValue;
  value->StringToValue("HidBridge", &text);
  MoaLong length = 0;
  EXPECT_EQ(value->ValueStringLength(&text, &length), kMoaErr_NoErr);
  EXPECT_EQ(length, 9);
  char buffer[12];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(value->ValueToString(&text, buffer, 9), kHostErr_BufferTooSmall);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(value->ValueToString(&text, buffer, 10), kMoaErr_NoErr);
  EXPECT_STREQ(buffer, "HidBridge");
  EXPECT_EQ(value->ValueToString(&text, buffer, 0), kHostErr_BadArgument);
  EXPECT_EQ(value->ValueToString(&text, nullptr, 6), kHostErr_BadArgument);
  value->ValueRelease(&text);
}

TEST_F(ValueServices, SymbolsComeBackAsValuesAndNamesOnlyWhenKnown) {
  MoaMmSymbol symbol = 0, again = 0;
  ASSERT_EQ(value->StringToSymbol("HidBridge_XtraError", &symbol), kMoaErr_NoErr);
  ASSERT_EQ(value->StringToSymbol("hidbridge_xtraerror", &again), kMoaErr_NoErr);
  EXPECT_EQ(again, symbol);
  EXPECT_EQ(value->StringToSymbol("", &again), kHostErr_BadSymbol);
  MoaMmValue out{1, 1};
  EXPECT_EQ(value->SymbolToValue(symbol + 1, &out), kHostErr_BadSymbol);
  EXPECT_TRUE(IsVoid(out));
  ASSERT_EQ(value->SymbolToValue(symbol, &out), kMoaErr_NoErr);
  EXPECT_EQ(Text(out), "#HidBridge_XtraError");
  MoaMmSymbol read = 0;
  EXPECT_EQ(value->ValueToSymbol(&out, &read), kMoaErr_NoErr);
  EXPECT_EQ(read, symbol);
  char name[20];
  EXPECT_EQ(value->SymbolToString(symbol, name, sizeof name), kMoaErr_NoErr);
  EXPECT_STREQ(name, "HidBridge_XtraError");
  value->ValueRelease(&out);
}

TEST_F(ValueServices, ReleasedAndMadeUpValuesAreRefusedAndReported) {
  MoaMmValue number = kVoidMoaMmValue;
  value->IntegerToValue(1, &number);
  EXPECT_EQ(value->ValueRelease(&number), kMoaErr_NoErr);
  MoaLong type = 0;
  char buffer[4];
  EXPECT_EQ(value->ValueRelease(&number), kHostErr_BadValue);
  EXPECT_EQ(value->ValueAddRef(&number), kHostErr_BadValue);
  EXPECT_EQ(value->ValueType(&number, &type), kHostErr_BadValue);
  EXPECT_EQ(value->ValueToString(&number, buffer, 4), kHostErr_BadValue);
  EXPECT_EQ(list->CountElements(&number), -1);
  EXPECT_EQ(value->ValueType(nullptr, &type), kHostErr_BadArgument);
  EXPECT_EQ(value->IntegerToValue(1, nullptr), kHostErr_BadArgument);
  EXPECT_EQ(host.values().liveValues(), 0u);
  EXPECT_EQ(host.values().badUses(), 5);
  expectedLeaks = {"5 use(s) of a released or made-up value"};
}

TEST_F(ValueServices, VoidIsAValueButTheNullInitializerIsAMisuseWhereverItGoes) {
  MoaMmValue none = kVoidMoaMmValue;
  MoaMmValue null = kNullMoaMmValue;
  MoaMmValue linear = kVoidMoaMmValue;
  list->NewListValue(&linear);
  MoaLong type = -1;
  EXPECT_EQ(value->ValueType(&none, &type), kMoaErr_NoErr);
  EXPECT_EQ(type, kMoaMmValueType_Void);
  EXPECT_EQ(list->AppendValueToList(&linear, &none), kMoaErr_NoErr);
  EXPECT_EQ(value->ValueType(&null, &type), kHostErr_NullValue);
  EXPECT_EQ(list->AppendValueToList(&linear, &null), kHostErr_NullValue);
  EXPECT_EQ(value->ValueRelease(&null), kHostErr_NullValue);
  EXPECT_EQ(Text(linear), "[<Void>]");
  value->ValueRelease(&linear);
  expectedLeaks = {"misuse: IMoaMmValue slot 5 ValueType: a null value {0,0} where a value belongs",
                   "misuse: IMoaMmList slot 4 AppendValueToList: a null value {0,0} where a value belongs",
                   "misuse: IMoaMmValue slot 7 ValueRelease: a null value {0,0} where a value belongs"};
}

TEST_F(ValueServices, TextMustBeInTheEncodingTheDirectorPlayedSpeaks) {
  MoaMmValue text = kVoidMoaMmValue;
  value->StringToValue("Pad \xC3\xA9", &text);
  value->ValueRelease(&text);
  value->StringToValue("Pad \xE9", &text);
  value->ValueRelease(&text);
  host.PlayDirector("10.1");
  value->StringToValue("Pad \xE9", &text);
  EXPECT_EQ(Text(text), "\"Pad é\"");
  value->ValueRelease(&text);
  expectedLeaks = {
      "misuse: IMoaMmValue slot 20 StringToValue: text that is not UTF-8, which this Director "
      "speaks: \"Pad é\" read as Windows-1252"};
}

TEST_F(ValueServices, ASlotTheHostDoesNotServeIsRecordedAndRefused) {
  MoaMmValue out{1, 1};
  EXPECT_EQ(value->StringHandleToValue(nullptr, &out), kHostErr_NotServed);
  EXPECT_EQ(list->SetValueByIndex(&out, 1, &out), kHostErr_NotServed);
  expectedLeaks = {"misuse: IMoaMmValue slot 21 StringHandleToValue: not a service this host offers",
                   "misuse: IMoaMmList slot 7 SetValueByIndex: not a service this host offers"};
}

DWORD WINAPI MakeAValue(LPVOID service) {
  MoaMmValue made = kVoidMoaMmValue;
  static_cast<xtra_view::IMoaMmValue*>(service)->IntegerToValue(1, &made);
  static_cast<xtra_view::IMoaMmValue*>(service)->ValueRelease(&made);
  return 0;
}

TEST_F(ValueServices, DirectorServesOnItsOwnThreadAlone) {
  HANDLE thread = CreateThread(nullptr, 0, &MakeAValue, value, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  expectedLeaks = {"misuse: IMoaMmValue slot 17 IntegerToValue: called on another thread than Director's",
                   "misuse: IMoaMmValue slot 7 ValueRelease: called on another thread than Director's"};
}

TEST_F(ValueServices, ListsCountAndIndexFromOneAndHandOutNewReferences) {
  MoaMmValue linear = kVoidMoaMmValue, props = kVoidMoaMmValue;
  ASSERT_EQ(list->NewListValue(&linear), kMoaErr_NoErr);
  ASSERT_EQ(list->NewPropListValue(&props), kMoaErr_NoErr);
  MoaMmValue key = kVoidMoaMmValue, item = kVoidMoaMmValue;
  value->SymbolToValue(host.values().Intern("VendorID"), &key);
  value->IntegerToValue(1133, &item);
  EXPECT_EQ(list->AppendValueToList(&linear, &item), kMoaErr_NoErr);
  EXPECT_EQ(list->AppendValueToPropList(&props, &key, &item), kMoaErr_NoErr);
  EXPECT_EQ(list->AppendValueToList(&props, &item), kHostErr_WrongType);
  EXPECT_EQ(list->AppendValueToPropList(&linear, &key, &item), kHostErr_WrongType);
  EXPECT_EQ(host.values().references(item), 3);
  EXPECT_EQ(Text(props), "[#VendorID: 1133]");
  EXPECT_EQ(list->CountElements(&linear), 1);
  EXPECT_EQ(list->CountElements(&props), 1);

  MoaMmValue got = kVoidMoaMmValue;
  ASSERT_EQ(list->GetValueByIndex(&props, 1, &got), kMoaErr_NoErr);
  EXPECT_EQ(Text(got), "1133");
  EXPECT_EQ(host.values().references(got), 4);
  value->ValueRelease(&got);
  ASSERT_EQ(list->GetValueByProperty(&props, &key, &got), kMoaErr_NoErr);
  EXPECT_EQ(Text(got), "1133");
  value->ValueRelease(&got);
  ASSERT_EQ(list->GetPropertyNameByIndex(&props, 1, &got), kMoaErr_NoErr);
  EXPECT_EQ(Text(got), "#VendorID");
  value->ValueRelease(&got);
  EXPECT_EQ(list->GetValueByProperty(&props, &item, &got), kHostErr_NoProperty);
  for (MoaLong outside : {0, 2, -1}) {
    got = MoaMmValue{1, 1};
    EXPECT_EQ(list->GetValueByIndex(&linear, outside, &got), kHostErr_BadIndex) << outside;
    EXPECT_TRUE(IsVoid(got));
  }
  value->ValueRelease(&key);
  EXPECT_EQ(list->CountElements(&item), -1) << "no list";
  EXPECT_EQ(list->GetValueByIndex(&item, 1, &got), kHostErr_WrongType);
  for (MoaMmValue* made : {&linear, &props, &item}) value->ValueRelease(made);
}

TEST(HostCallback, OffersEveryServiceAndReportsReferencesLeftOrReleasedTooOften) {
  DirectorHost host;
  const MoaID offered[] = {IID_IMoaCalloc,       IID_IMoaMmValue,  IID_IMoaMmList, IID_IMoaDrPlayer,
                           IID_IMoaNotification, IID_IMoaMmWndWin, IID_IMoaAppInfo};
  std::vector<xtra_view::IMoaUnknown*> services;
  for (const MoaID& iid : offered) services.push_back(AskHost<xtra_view::IMoaUnknown>(host, iid));
  EXPECT_EQ(AskHost<xtra_view::IMoaUnknown>(host, IID_IMoaMmUtils), nullptr) << "the window service is IMoaMmWndWin";
  EXPECT_EQ(host.Leaks(),
            (std::vector<std::string>{"IMoaCalloc service: 1 reference(s)", "IMoaMmValue service: 1 reference(s)",
                                      "IMoaMmList service: 1 reference(s)", "IMoaDrPlayer service: 1 reference(s)",
                                      "IMoaNotification service: 1 reference(s)",
                                      "IMoaMmWndWin service: 1 reference(s)", "IMoaAppInfo service: 1 reference(s)"}));
  void* instance = nullptr;
  void* window = nullptr;
  EXPECT_EQ(static_cast<xtra_view::IMoaMmWndWin*>(services[5])->WinGetParent(&instance, &window), kMoaErr_NoErr);
  EXPECT_EQ(window, HostWindows::ParentWindow());
  xtra_view::IMoaDrMovie* movie = nullptr;
  ASSERT_EQ(static_cast<xtra_view::IMoaDrPlayer*>(services[3])->GetActiveMovie(&movie), kMoaErr_NoErr);
  void* context = nullptr;
  EXPECT_EQ(movie->QueryInterface(&IID_IMoaDrMovieContext, &context), kMoaErr_NoErr);
  EXPECT_EQ(host.Leaks()[4], "IMoaDrMovie service: 1 reference(s)");
  EXPECT_EQ(host.Leaks()[8], "IMoaDrMovieContext service: 1 reference(s)");
  static_cast<xtra_view::IMoaUnknown*>(context)->Release();
  movie->Release();
  for (xtra_view::IMoaUnknown* service : services) service->Release();
  services[6]->Release();
  EXPECT_EQ(host.Leaks(), std::vector<std::string>{"IMoaAppInfo service: -1 reference(s)"});
}

// What an Xtra has released, Director may have freed: a call through it
// afterwards is a fault the host names, and a new reference ends it.
TEST(HostReferences, ACallAfterTheLastReleaseIsAMisuse) {
  DirectorHost host;
  auto* values = AskHost<xtra_view::IMoaMmValue>(host, IID_IMoaMmValue);
  ASSERT_NE(values, nullptr);
  values->Release();
  MoaMmValue number = kVoidMoaMmValue;
  values->IntegerToValue(1, &number);
  const std::vector<std::string> misuses = host.Misuses();
  ASSERT_EQ(misuses.size(), 1u);
  EXPECT_NE(misuses[0].find("IntegerToValue: a call after the Xtra's last Release"), std::string::npos)
      << misuses[0];
  values->AddRef();
  values->ValueRelease(&number);
  EXPECT_EQ(host.Misuses().size(), 1u) << "held again";
  values->Release();
}

}  // namespace

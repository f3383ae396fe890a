// The host against a fake Xtra written from Director's layout alone: it
// registers, makes instances and calls handlers as Director does, and
// catches an Xtra that calls a wrong slot, writes Director's bytes, hands
// over null values or calls in from its window outside the movie's context.
#include <cstdint>

#include "fake_xtra_host.h"
#include "host_errors.h"
#include "host_windows.h"
#include "fake_xtra.h"
#include "xtra_side.h"

namespace {

using namespace director;

using FakeXtra = FakeXtraHost;

TEST_F(FakeXtra, RegistersThroughAddRegistryEntryAndPutAtTheirSlots) {
  ASSERT_EQ(host.Register(), kMoaErr_NoErr);
  EXPECT_EQ(host.cache().entriesAdded(), 1);
  EXPECT_TRUE(SameMoaID(host.cache().registeredClass(), host.classId()));
  EXPECT_TRUE(SameMoaID(host.cache().registeredInterface(), IID_IMoaMmXScript));
  const std::vector<DictPut>& puts = host.cache().entry().puts();
  ASSERT_EQ(puts.size(), 2u);
  EXPECT_EQ(puts[0].key, "msgTable");
  EXPECT_EQ(puts[0].type, kMoaDictType_CString);
  EXPECT_EQ(puts[0].size, 0);
  EXPECT_EQ(puts[0].data.rfind("xtra FakeXtra", 0), 0u);
  EXPECT_EQ(puts[1].key, "safeForShockwave");
  EXPECT_EQ(puts[1].type, kMoaDictType_Bool);
  EXPECT_EQ(puts[1].data, std::string("\x01", 1));
  // Made, registered and destroyed without new: nothing registered itself.
  EXPECT_TRUE(host.notification().registrations().empty());
}

TEST_F(FakeXtra, AnInstanceIsItsOwnIMoaUnknownBehindDirectorsBase) {
  EXPECT_EQ(host.instanceSize(), static_cast<MoaLong>(sizeof(fake::FakeInstance)));
  HostInstance* instance = host.CreateInstance();
  ASSERT_TRUE(instance != nullptr);
  const auto* base = static_cast<const InstanceBase*>(instance->data());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(base->magicCookie), 0xC0DEu);
  EXPECT_EQ(base->pCallback, host.callback().door());
  EXPECT_EQ(base->pCalloc, host.allocator().door());
  EXPECT_TRUE(SameMoaID(*base->pClassID, host.classId()));
  EXPECT_EQ(base->refCount, 1);
  auto* unknown = static_cast<xtra_view::IMoaUnknown*>(instance->data());
  EXPECT_EQ(unknown->AddRef(), 2u);
  EXPECT_EQ(base->refCount, 2);
  void* same = nullptr;
  EXPECT_EQ(unknown->QueryInterface(&IID_IMoaUnknown, &same), kMoaErr_NoErr);
  EXPECT_EQ(same, instance->data());
  void* script = nullptr;
  ASSERT_EQ(unknown->QueryInterface(&IID_IMoaMmXScript, &script), kMoaErr_NoErr);
  static_cast<xtra_view::IMoaUnknown*>(script)->Release();
  for (int i = 0; i < 3; ++i) unknown->Release();
  EXPECT_TRUE(instance->disposed());
}

TEST_F(FakeXtra, AnXtraThatWritesDirectorsBaseIsCaught) {
  New().Call(kFakeScribble);
  me.reset();
  expectedLeaks = {
      "misuse: IMoaUnknown of the instance slot 2 Release: the Xtra wrote Director's instance base (bytes 0 to " +
      std::to_string(kInstanceBaseBytes - 1) + ") before a Release"};
}

TEST_F(FakeXtra, ChildParentAndGlobalHandlersGetTheirObjectAsArgumentZero) {
  EXPECT_EQ(New().Call(kFakeEcho, "1"), "[<Object FakeXtra 1>, 1]");
  std::unique_ptr<ScriptInstance> xtra = ScriptInstance::ForXtraHandlers(host);
  EXPECT_EQ(xtra->Call(kFakeEcho, "1, \"a\""), "[<Xtra \"FakeXtra\">, 1, \"a\"]");
  EXPECT_EQ(xtra->Call(kFakeVersion), "\"11.5\"");
  // new was called on the child alone.
  EXPECT_EQ(host.notification().registrations().size(), 1u);
}

TEST_F(FakeXtra, TheHostForgetsAnInstanceWhenTheScriptDropsItsLastReference) {
  New();
  EXPECT_EQ(host.notification().registrations().size(), 1u);
  me.reset();
  EXPECT_TRUE(host.notification().registrations().empty());
}

TEST_F(FakeXtra, VoidIsAValueButANullResultOrArgumentIsAMisuse) {
  ScriptInstance& fake = New();
  EXPECT_EQ(fake.Call(kFakeMake, "\"void\""), "<Void>");
  EXPECT_EQ(fake.Call(kFakeInspect, "VOID"), "[#type: 0, #count: -1]");
  EXPECT_EQ(fake.Call(kFakeInspect, "\"text\""), "[#type: 3, #count: -1]");
  EXPECT_EQ(fake.Call(kFakeInspect, "[1, 2]"), "[#type: 7, #count: 2]");
  EXPECT_EQ(fake.Call(kFakeMake, "\"props\""), "[#a: 1]");
  EXPECT_TRUE(host.Misuses().empty());
  EXPECT_EQ(fake.Call(kFakeMake, "\"null\""), "<Void>");
  EXPECT_EQ(fake.Call(kFakeMake, "\"null to the host\""), "-1");
  expectedLeaks = {"misuse: IMoaMmXScript::Call of selector 4: a null result {0,0}; void is {2,0}",
                   "misuse: IMoaMmList slot 5 CountElements: a null value {0,0} where a value belongs"};
}

TEST_F(FakeXtra, ReleasingAnArgumentOfTheCallerIsAMisuse) {
  New().Call(kFakeReleaseArgument, "[1]");
  expectedLeaks = {"1 use(s) of a released or made-up value",
                   "misuse: IMoaMmXScript::Call of selector 12: released argument 1, which the caller owns"};
}

TEST_F(FakeXtra, CallsFromTheXtrasWindowMustComeInsideThePushedContext) {
  ScriptInstance& fake = New();
  fake.Call(kFakeListen, "1");
  void* window = FindWindowA("FAKEXTRA_WND", "FAKEXTRA_WND");
  ASSERT_TRUE(window != nullptr);
  host.SendWindowMessage(window, WM_USER, 0, 0);
  ASSERT_EQ(host.player().calls().size(), 1u);
  EXPECT_EQ(host.player().calls()[0].name, "FromWindow");
  EXPECT_TRUE(host.Misuses().empty());
  EXPECT_EQ(host.player().movie().context().pushes(), 1);
  fake.Call(kFakeListen, "0");
  host.SendWindowMessage(window, WM_USER, 0, 0);
  // The same calls made by the movie's own calls need no context.
  fake.Call(kFakeTell, "\"FromWindow\"");
  expectedLeaks = {"misuse: IMoaMmValue slot 3 StringToSymbol: called from a window message outside PushXtraContext",
                   "misuse: IMoaDrPlayer slot 5 CallHandler: called from a window message outside PushXtraContext"};
}

TEST_F(FakeXtra, TheActiveMoviesHandlersRunInsideItsContext) {
  host.player().Define("Hello", [this](const std::vector<MoaMmValue>&) {
    EXPECT_EQ(host.watch().contextDepth(), 1);
    return host.values().String("hi");
  });
  EXPECT_EQ(New().Call(kFakeTellMovie, "\"Hello\""), "\"hi\"");
  EXPECT_EQ(host.player().movie().context().pushes(), 1);
  EXPECT_EQ(host.player().movie().context().pops(), 1);
}

TEST_F(FakeXtra, MessageBoxesArePreparedAndParentedOnDirectorsWindow) {
  ScriptInstance& fake = New();
  fake.Call(kFakeBox, "\"Device lost\", 1");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], (std::pair<std::string, std::string>{"FakeXtra", "Device lost"}));
  EXPECT_TRUE(host.Misuses().empty());
  fake.Call(kFakeBox, "\"Bare\", 0");
  EXPECT_EQ(host.windows().boxes(), 2);
  expectedLeaks = {"misuse: a message box shown outside WinPrepareDialogBox / WinUnprepareDialogBox",
                   "misuse: a message box not parented on the window WinGetParent gives"};
}

TEST_F(FakeXtra, AppInfoAnswersTheDirectorPlayedAndRefusesWhatItCannotAnswer) {
  ScriptInstance& fake = New();
  EXPECT_EQ(fake.Call(kFakeVersion), "\"11.5\"");
  EXPECT_EQ(fake.Call(kFakeAppInfo, "5, 64"), "\"Director\"");
  EXPECT_EQ(fake.Call(kFakeAppInfo, "6, 5"), "\"11.5\"");
  EXPECT_EQ(fake.Call(kFakeAppInfo, "6, 4"), std::to_string(kHostErr_BufferTooSmall));
  EXPECT_EQ(fake.Call(kFakeAppInfo, "99, 64"), std::to_string(kMoaErr_NoSuchKey));
  host.PlayDirector("10.1");
  EXPECT_EQ(fake.Call(kFakeVersion), "\"10.1\"");
  EXPECT_TRUE(host.values().encoding() == TextEncoding::kWindows1252);
  EXPECT_EQ(fake.Call(kFakeAppInfo, "4, 64"), std::to_string(kHostErr_WrongType));
  expectedLeaks = {"misuse: IMoaAppInfo slot 3 GetInfo: the application's file reference, which is no string"};
}

TEST_F(FakeXtra, IdleNotificationsTellTheTimeSinceTheLastOne) {
  ScriptInstance& fake = New();
  ASSERT_EQ(host.notification().registrations().size(), 1u);
  EXPECT_EQ(*static_cast<const MoaLong*>(host.notification().registrations()[0].notifyData), 100);
  host.notification().NotifyAll();
  host.notification().NotifyAll();
  const std::string idles = fake.Call(kFakeIdles);
  EXPECT_EQ(idles.rfind("[2, ", 0), 0u) << idles;
}

TEST(MisorderedXtra, CallsTheWrongSlotAndTheHostNamesIt) {
  DirectorHost host;
  ASSERT_TRUE(host.Load(MISORDERED_FAKE_XTRA_PATH));
  {
    ScriptInstance fake(host);
    EXPECT_EQ(fake.Call(kFakeMake, "\"string\""), "<Void>");
  }
  EXPECT_EQ(host.Leaks(), std::vector<std::string>{
                              "misuse: IMoaMmValue slot 21 StringHandleToValue: not a service this host offers"});
}

}  // namespace

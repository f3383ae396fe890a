// The movie's handlers as the Xtra calls them through the player service.
#include "test_framework.h"

#include "director_host.h"
#include "host_errors.h"
#include "lingo_literals.h"
#include "xtra_side.h"

namespace {

using namespace director;

class PlayerService : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(host.Leaks(), expectedLeaks); }

  // Calls as the Xtra would, with arguments it made and releases again.
  MoaError Call(const std::string& handler, const std::string& arguments, MoaMmValue* result) {
    std::vector<MoaMmValue> values;
    std::string error;
    EXPECT_TRUE(ParseLiterals(host.values(), arguments, &values, &error)) << error;
    const MoaError status = host.player().CallHandler(host.values().Intern(handler),
                                                      static_cast<MoaLong>(values.size()), values.data(), result);
    for (const MoaMmValue& value : values) host.values().Release(value);
    return status;
  }
  std::string Recorded() {
    std::string text;
    for (const HandlerCall& call : host.player().calls()) text += call.name + "(" + call.arguments + ") ";
    return text;
  }

  DirectorHost host;
  std::vector<std::string> expectedLeaks;
};

TEST_F(PlayerService, RecordsEveryCallAndRefusesHandlersTheMovieLacksWithVoid) {
  MoaMmValue result{1, 1};
  EXPECT_EQ(Call("HidBridge_XtraError", "\"No device\", -3, [#code: 7]", &result), kHostErr_NoSuchHandler);
  EXPECT_TRUE(IsVoid(result));
  EXPECT_EQ(Call("hidbridge_xtraerror", "", nullptr), kHostErr_NoSuchHandler);
  EXPECT_EQ(Recorded(), "HidBridge_XtraError(\"No device\", -3, [#code: 7]) HidBridge_XtraError() ");
}

TEST_F(PlayerService, ADefinedHandlerRunsWhateverItsNameIsCasedAndItsResultPassesOn) {
  std::string seen;
  host.player().Define("onChange", [&](const std::vector<MoaMmValue>& arguments) {
    seen = FormatLiterals(host.values(), arguments.data(), arguments.size());
    return host.values().String("handled");
  });
  MoaMmValue result = kVoidMoaMmValue;
  ASSERT_EQ(Call("ONCHANGE", "#added, 1133", &result), kMoaErr_NoErr);
  EXPECT_EQ(seen, "#added, 1133");
  EXPECT_EQ(FormatLiteral(host.values(), result), "\"handled\"");
  EXPECT_EQ(host.values().references(result), 1);
  host.values().Release(result);
  EXPECT_EQ(Call("onChange", "", nullptr), kMoaErr_NoErr);  // the result nobody takes is released
}

TEST_F(PlayerService, AHandlerMayCallBackInAndRedefineItself) {
  host.player().Define("outer", [&](const std::vector<MoaMmValue>&) {
    host.player().Define("outer", [](const std::vector<MoaMmValue>&) { return kVoidMoaMmValue; });
    MoaMmValue inner = kVoidMoaMmValue;
    EXPECT_EQ(Call("inner", "2", &inner), kMoaErr_NoErr);
    EXPECT_EQ(FormatLiteral(host.values(), inner), "2");
    host.values().Release(inner);
    return host.values().Integer(1);
  });
  host.player().Define("inner", [&](const std::vector<MoaMmValue>& arguments) {
    host.values().AddRef(arguments[0]);
    return arguments[0];
  });
  MoaMmValue result = kVoidMoaMmValue;
  ASSERT_EQ(Call("outer", "1", &result), kMoaErr_NoErr);
  EXPECT_EQ(FormatLiteral(host.values(), result), "1");
  host.values().Release(result);
  EXPECT_EQ(Recorded(), "outer(1) inner(2) ");
}

TEST_F(PlayerService, RefusesUnknownSymbolsAndBadArgumentsAndRecordsNothing) {
  MoaMmValue released = host.values().Integer(1);
  host.values().Release(released);
  const MoaMmSymbol name = host.values().Intern("onError");
  EXPECT_EQ(host.player().CallHandler(name + 1, 0, nullptr, nullptr), kHostErr_BadSymbol);
  EXPECT_EQ(host.player().CallHandler(name, 1, nullptr, nullptr), kHostErr_BadArgument);
  EXPECT_EQ(host.player().CallHandler(name, -1, nullptr, nullptr), kHostErr_BadArgument);
  MoaMmValue result{1, 1};
  EXPECT_EQ(host.player().CallHandler(name, 1, &released, &result), kHostErr_BadValue);
  EXPECT_TRUE(IsVoid(result));
  MoaMmValue null = kNullMoaMmValue;
  EXPECT_EQ(host.player().CallHandler(name, 1, &null, nullptr), kHostErr_NullValue);
  EXPECT_TRUE(host.player().calls().empty());
  EXPECT_EQ(host.values().badUses(), 1);
  EXPECT_EQ(host.player().GetActiveMovie(nullptr), kHostErr_BadArgument);
  expectedLeaks = {"1 use(s) of a released or made-up value", "misuse: a null value {0,0} where a value belongs"};
}

TEST_F(PlayerService, TheActiveMovieReachesTheSameHandlersThroughItsOwnSlot) {
  auto* player = AskHost<xtra_view::IMoaDrPlayer>(host, IID_IMoaDrPlayer);
  xtra_view::IMoaDrMovie* movie = nullptr;
  ASSERT_EQ(player->GetActiveMovie(&movie), kMoaErr_NoErr);
  host.player().Define("Hello", [&](const std::vector<MoaMmValue>&) { return host.values().Integer(7); });
  host.values().Intern("Hello");
  MoaMmValue result = kVoidMoaMmValue;
  EXPECT_EQ(movie->CallHandler(host.values().Intern("hello"), 0, nullptr, &result), kMoaErr_NoErr);
  EXPECT_EQ(FormatLiteral(host.values(), result), "7");
  EXPECT_EQ(player->CallHandler(host.values().Intern("hello"), 0, nullptr, nullptr), kMoaErr_NoErr);
  EXPECT_EQ(Recorded(), "Hello() Hello() ");
  host.values().Release(result);
  movie->Release();
  player->Release();
}

TEST_F(PlayerService, WithNoMovieYetThereIsNoActiveMovie) {
  host.player().SetMoviePlaying(false);
  IMoaDrMovie* movie = reinterpret_cast<IMoaDrMovie*>(&host);
  EXPECT_EQ(host.player().GetActiveMovie(&movie), kHostErr_NoMovie);
  EXPECT_EQ(movie, nullptr);
}

}  // namespace

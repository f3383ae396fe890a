// Script lines: both of Lingo's call spellings, instances, host commands and
// handler definitions read into statements; mistakes refused with the
// column where they start.
#include "test_framework.h"

#include "script_parser.h"

namespace {

class ScriptLines : public testing::Test {
 protected:
  Statement Read(const std::string& line) {
    Statement statement;
    std::string error;
    EXPECT_TRUE(parser.Parse(line, &statement, &error)) << line << error;
    return statement;
  }
  MethodCall Call(const std::string& line) {
    const Statement statement = Read(line);
    EXPECT_TRUE(std::holds_alternative<MethodCall>(statement)) << line;
    return std::holds_alternative<MethodCall>(statement) ? std::get<MethodCall>(statement) : MethodCall{};
  }
  std::string Refusal(const std::string& line) {
    Statement statement;
    std::string error;
    EXPECT_FALSE(parser.Parse(line, &statement, &error)) << line;
    return error;
  }

  ScriptParser parser;
};

TEST_F(ScriptLines, BothCallSpellingsNameTheInstanceAndKeepTheArguments) {
  for (const char* line : {"OpenById(hid, 0x046D, 50475)", "hid.OpenById(0x046D, 50475)",
                           "put hid.OpenById( 0x046D , 50475 )  -- pad", "  put OpenById(hid,0x046D,50475)"}) {
    const MethodCall call = Call(line);
    EXPECT_EQ(call.instance, "hid");
    EXPECT_EQ(call.method, "OpenById");
    EXPECT_EQ(call.arguments.count, 2);
    EXPECT_EQ(call.put, std::string(line).find("put") != std::string::npos) << "the message window shows only put";
  }
  EXPECT_EQ(Call("hid.Write([1, [2]], \"a, b\", [#k: \"-- no comment\"])").arguments.text,
            "[1, [2]], \"a, b\", [#k: \"-- no comment\"]");
  EXPECT_EQ(Call("forget(hid)").arguments.count, 0);
  EXPECT_EQ(Call("hid.IsOpen()").arguments.text, "");
}

TEST_F(ScriptLines, ParentAndGlobalHandlersAreCalledOnTheXtraOrOnNothing) {
  const MethodCall onXtra = Call("put GetVersionString(xtra \"HidBridge\")");
  EXPECT_EQ(onXtra.xtra, "HidBridge");
  EXPECT_EQ(onXtra.instance, "");
  EXPECT_EQ(onXtra.arguments.count, 0);
  EXPECT_EQ(Call("Version(xtra \"HidBridge\", 1, [2])").arguments.text, "1, [2]");
  for (const char* line : {"put PrivateGlobal()", "PrivateGlobal(1, \"a\")", "IsOpen(VOID)"}) {
    const MethodCall global = Call(line);
    EXPECT_EQ(global.instance, "") << line;
    EXPECT_EQ(global.xtra, "") << line;
  }
  EXPECT_EQ(Call("PrivateGlobal(TRUE, 2)").arguments.count, 2);
}

TEST_F(ScriptLines, AssigningVoidLetsGoOfTheInstance) {
  const Statement statement = Read("hid = VOID -- done");
  ASSERT_TRUE(std::holds_alternative<DropReference>(statement));
  EXPECT_EQ(std::get<DropReference>(statement).name, "hid");
}

TEST_F(ScriptLines, NewNamesAnInstanceOfAnXtra) {
  const Statement statement = Read("pad2 = new(xtra \"HidBridge\")");
  ASSERT_TRUE(std::holds_alternative<NewInstance>(statement));
  EXPECT_EQ(std::get<NewInstance>(statement).name, "pad2");
  EXPECT_EQ(std::get<NewInstance>(statement).xtra, "HidBridge");
}

TEST_F(ScriptLines, CommandsTakeWordsAndLiterals) {
  const Statement statement = Read("burst pad [1, 2] 8000 per second for 100 ms");
  ASSERT_TRUE(std::holds_alternative<HostCommand>(statement));
  const HostCommand& command = std::get<HostCommand>(statement);
  EXPECT_EQ(command.name, "burst");
  ASSERT_EQ(command.arguments.size(), 8u);
  EXPECT_TRUE(command.arguments[1].literal);
  EXPECT_EQ(command.arguments[1].text, "[1, 2]");
  EXPECT_FALSE(command.arguments[3].literal);
  EXPECT_EQ(command.arguments[3].text, "per");
  // Lingo's constants are literals, not words.
  EXPECT_TRUE(std::get<HostCommand>(Read("fail CreateFileA TRUE")).arguments[1].literal);
}

TEST_F(ScriptLines, AHandlerRunsOneCall) {
  const Statement statement = Read("on HidBridge_XtraError forget(hid) -- give up");
  ASSERT_TRUE(std::holds_alternative<HandlerDefinition>(statement));
  const HandlerDefinition& definition = std::get<HandlerDefinition>(statement);
  EXPECT_EQ(definition.handler, "HidBridge_XtraError");
  EXPECT_EQ(definition.bodyText, "forget(hid)");
  ASSERT_TRUE(definition.body != nullptr);
  EXPECT_TRUE(std::holds_alternative<MethodCall>(*definition.body));
}

TEST_F(ScriptLines, CommentsAndBlankLinesDoNothing) {
  for (const char* line : {"", "   ", "-- hid.IsOpen()", "\t-- note", "\r"})
    EXPECT_TRUE(std::holds_alternative<NoStatement>(Read(line))) << line;
}

TEST_F(ScriptLines, MistakesAreRefusedWhereTheyStart) {
  EXPECT_EQ(Refusal("hid.Write([1, 2, )"), "column 18: bad literal: expected a value");
  EXPECT_EQ(Refusal("  hid.Write(\"open"), "column 13: bad literal: string without its closing quote mark");
  EXPECT_EQ(Refusal("hid.OpenById(1, 2"), "column 18: expected ) after the arguments");
  EXPECT_EQ(Refusal("hid.IsOpen() extra"), "column 14: unexpected text after the statement");
  EXPECT_EQ(Refusal("hid = old(xtra \"HidBridge\")"), "column 7: expected new(xtra \"...\") or VOID after =");
  EXPECT_EQ(Refusal("hid = VOID 1"), "column 12: unexpected text after the statement");
  EXPECT_EQ(Refusal("Version(xtra HidBridge)"), "column 14: bad literal: expected a value");
  EXPECT_EQ(Refusal("Version(xtra \"HidBridge\" 1)"), "column 26: expected ) after the Xtra's name");
  EXPECT_EQ(Refusal("hid = new(xtra #HidBridge)"),
            "column 26: expected the Xtra's name as a string, e.g. xtra \"HidBridge\"");
  EXPECT_EQ(Refusal("void = new(xtra \"HidBridge\")"),
            "column 7: void is a Lingo constant, not a name for an instance");
  EXPECT_EQ(Refusal("put idle 10"), "column 5: expected a method call after put");
  EXPECT_EQ(Refusal("on Handler idle 10"), "column 19: a handler runs one method call");
  EXPECT_EQ(Refusal("42"), "column 1: expected a call or a command");
  EXPECT_EQ(Refusal("send pad [1, 2"), "column 15: bad literal: expected , or ] in the list");
}

}  // namespace

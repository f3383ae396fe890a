// The methods a host learns from the message table an Xtra registers.
#include "test_framework.h"

#include "method_catalog.h"

namespace {

const char kTable[] =
    "xtra Sample -- WINTEL version 1\n"
    "-- a comment\n"
    "   new object me, *\n"
    "/  forget object me \n"
    "+  Version object me -- returns the version\n"
    "   --\n"
    "   Open object me, long vendorId, long productID\n"
    "   Write object me , * -- string , number or list\n"
    "   Send object me, string name, *\n"
    "/ + Global *\n"
    "*  Star string name\n";

TEST(MethodCatalog, SelectorsFollowTheHandlerLinesAndCommentsDoNotCount) {
  const MethodCatalog catalog(kTable);
  EXPECT_EQ(catalog.xtraName(), "Sample");
  ASSERT_EQ(catalog.methods().size(), 8u);
  EXPECT_EQ(catalog.Find("forget")->selector, 1);
  EXPECT_EQ(catalog.Find("Open")->selector, 3);
  EXPECT_EQ(catalog.Find("Global")->selector, 6);
  EXPECT_EQ(catalog.Find("Version")->declaration, "Version object me");
}

TEST(MethodCatalog, NamesIgnoreCase) {
  const MethodCatalog catalog(kTable);
  EXPECT_EQ(catalog.Find("oPEN"), catalog.Find("Open"));
  EXPECT_TRUE(catalog.Find("Opn") == nullptr);
}

TEST(MethodCatalog, ArgumentCountsComeFromTheDeclaration) {
  const MethodCatalog catalog(kTable);
  const MethodEntry& open = *catalog.Find("Open");
  EXPECT_TRUE(open.Accepts(2));
  EXPECT_FALSE(open.Accepts(1));
  EXPECT_FALSE(open.Accepts(3));
  EXPECT_EQ(open.ExpectedArguments(), "2 arguments");
  EXPECT_EQ(catalog.Find("forget")->ExpectedArguments(), "no arguments");
  const MethodEntry& send = *catalog.Find("Send");
  EXPECT_FALSE(send.Accepts(0));
  EXPECT_TRUE(send.Accepts(5));
  EXPECT_EQ(send.ExpectedArguments(), "at least 1 argument");
  EXPECT_TRUE(catalog.Find("Write")->Accepts(0));
  EXPECT_EQ(catalog.Find("Write")->ExpectedArguments(), "any number of arguments");
}

TEST(MethodCatalog, MarkersTellParentGlobalAndHiddenHandlers) {
  const MethodCatalog catalog(kTable);
  const MethodEntry& version = *catalog.Find("Version");
  EXPECT_TRUE(version.parent && version.takesInstance && !version.global && !version.hidden);
  const MethodEntry& global = *catalog.Find("Global");
  EXPECT_TRUE(global.parent && global.hidden && !global.global);
  EXPECT_FALSE(global.takesInstance);
  EXPECT_TRUE(global.Accepts(3));
  const MethodEntry& star = *catalog.Find("Star");
  EXPECT_TRUE(star.global && !star.parent && !star.takesInstance);
  EXPECT_EQ(star.fixedArguments, 1);
  EXPECT_TRUE(catalog.Find("forget")->hidden);
  EXPECT_FALSE(catalog.Find("Open")->parent || catalog.Find("Open")->global || catalog.Find("Open")->hidden);
}

TEST(MethodCatalog, ATableWithoutItsXtraLineStillListsMethods) {
  const MethodCatalog catalog("  Ping object me\n");
  EXPECT_EQ(catalog.xtraName(), "");
  ASSERT_EQ(catalog.methods().size(), 1u);
  EXPECT_EQ(catalog.methods()[0].name, "Ping");
}

}  // namespace

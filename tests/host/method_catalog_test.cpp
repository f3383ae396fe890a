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
    "/ + Global *\n";

TEST(MethodCatalog, SelectorsFollowTheHandlerLinesAndCommentsDoNotCount) {
  const MethodCatalog catalog(kTable);
  EXPECT_EQ(catalog.xtraName(), "Sample");
  ASSERT_EQ(catalog.methods().size(), 7u);
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

TEST(MethodCatalog, AGlobalHandlerTakesNoInstance) {
  const MethodCatalog catalog(kTable);
  EXPECT_FALSE(catalog.Find("Global")->takesInstance);
  EXPECT_TRUE(catalog.Find("Global")->Accepts(3));
  EXPECT_TRUE(catalog.Find("Version")->takesInstance);
}

TEST(MethodCatalog, ATableWithoutItsXtraLineStillListsMethods) {
  const MethodCatalog catalog("  Ping object me\n");
  EXPECT_EQ(catalog.xtraName(), "");
  ASSERT_EQ(catalog.methods().size(), 1u);
  EXPECT_EQ(catalog.methods()[0].name, "Ping");
}

}  // namespace

// Lingo literals: printed as the message window prints them, read back the
// same, and unreadable text refused with where and why.
#include "test_framework.h"

#include "lingo_literals.h"

namespace {

using namespace director;

class LingoLiterals : public testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(values.Leaks().empty()) << values.Leaks().front(); }

  // Reads one literal and prints it again.
  std::string RoundTrip(const std::string& text) {
    MoaMmValue value{};
    std::string error;
    if (!ParseLiteral(values, text, &value, &error)) return "refused: " + error;
    std::string printed = FormatLiteral(values, value);
    values.Release(value);
    return printed;
  }

  std::string Refusal(const std::string& text) {
    std::vector<MoaMmValue> list;
    std::string error;
    EXPECT_FALSE(ParseLiterals(values, text, &list, &error)) << text;
    EXPECT_TRUE(list.empty());
    return error;
  }

  LingoValueStore values;
};

TEST_F(LingoLiterals, PrintsEveryKindAsLingoDoes) {
  const MoaMmValue printed[] = {values.Integer(-3),
                                values.Float(1.5),
                                values.String("Pad"),
                                values.Symbol("VendorID"),
                                values.Picture(),
                                values.Object("HidBridge", nullptr),
                                values.XtraReference("HidBridge", nullptr),
                                kVoidMoaMmValue};
  EXPECT_EQ(FormatLiterals(values, printed, 8),
            "-3, 1.5000, \"Pad\", #VendorID, <Picture>, <Object HidBridge 1>, <Xtra \"HidBridge\">, <Void>");
  for (const MoaMmValue& value : printed) values.Release(value);
}

TEST(LiteralPrinting, ABadHandleOrTheNullInitializerPrintsAsSuchAndCounts) {
  LingoValueStore values;
  EXPECT_EQ(FormatLiteral(values, MoaMmValue{99, 99}), "<Bad value>");
  EXPECT_EQ(FormatLiteral(values, kNullMoaMmValue), "<Bad value>");
  EXPECT_EQ(values.badUses(), 2);
}

TEST(LiteralPrinting, StringsReadAndShowInTheHostsEncoding) {
  LingoValueStore values;
  const MoaMmValue utf8 = values.String("Pad \xC3\xA9 \xE2\x82\xAC");
  const MoaMmValue latin1 = values.String("Pad \xE9");
  EXPECT_EQ(FormatLiteral(values, utf8), "\"Pad é €\"");
  EXPECT_EQ(FormatLiteral(values, latin1), "\"Pad \xEF\xBF\xBD\"") << "no UTF-8: what a UTF-8 host shows";
  values.SetEncoding(TextEncoding::kWindows1252);
  MoaMmValue read = kVoidMoaMmValue;
  std::string error;
  ASSERT_TRUE(ParseLiteral(values, "\"Pad é € \xE2\x98\x83\"", &read, &error));
  EXPECT_EQ(values.Find(read)->text, "Pad \xE9 \x80 ?") << "Windows-1252 bytes; what it lacks is ?";
  EXPECT_EQ(FormatLiteral(values, read), "\"Pad é € ?\"");
  for (const MoaMmValue& value : {utf8, latin1, read}) values.Release(value);
}

TEST_F(LingoLiterals, ListsAndPropertyListsReadAndPrintTheSame) {
  for (const char* text : {"[]", "[:]", "[1, 2]", "[#VendorID: 1133, #Product: \"Pad\"]", "[[1, [2, []]], [:], \"\"]",
                           "[\"a\": 1, 2: [#x: <Void>]]", "2147483647", "-2147483648", "#under_score1"})
    EXPECT_EQ(RoundTrip(text), text);
}

TEST_F(LingoLiterals, QuoteMarksAndLineBreaksInStringsAreWrittenWithQuoteAndReturn) {
  EXPECT_EQ(RoundTrip("\"a\" & QUOTE & \"b\""), "\"a\" & QUOTE & \"b\"");
  EXPECT_EQ(RoundTrip("\"a\" & RETURN & \"b\" & return & QUOTE"), "\"a\" & RETURN & \"b\" & RETURN & QUOTE");
  EXPECT_EQ(RoundTrip("RETURN"), "RETURN");
  EXPECT_EQ(RoundTrip("QUOTE&QUOTE"), "QUOTE & QUOTE");
  EXPECT_EQ(RoundTrip("\"say \" & quote & \"hi\" & QUOTE"), "\"say \" & QUOTE & \"hi\" & QUOTE");
  EXPECT_EQ(RoundTrip("\"x\" & \"y\""), "\"xy\"");
  EXPECT_EQ(RoundTrip("\"\""), "\"\"");
}

TEST_F(LingoLiterals, ReadingToleratesSpaceAndLingoSpellings) {
  EXPECT_EQ(RoundTrip("  [ 1 ,\t-2 ,[ ] , [ : ] ]  "), "[1, -2, [], [:]]");
  EXPECT_EQ(RoundTrip("[ #a : VOID , #b:void ]"), "[#a: <Void>, #b: <Void>]");
  EXPECT_EQ(RoundTrip("[2.25, -0.5, 3.]"), "[2.2500, -0.5000, 3.0000]");
  EXPECT_EQ(RoundTrip("\"Ünïcode, [not a list]\""), "\"Ünïcode, [not a list]\"");
}

TEST_F(LingoLiterals, ReadsAnArgumentListIntoValuesWithAReferenceEach) {
  std::vector<MoaMmValue> list;
  std::string error;
  ASSERT_TRUE(ParseLiterals(values, "1, \"A\", [2, 3]", &list, &error)) << error;
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(values.Find(list[0])->integer, 1);
  EXPECT_EQ(values.Find(list[1])->text, "A");
  EXPECT_EQ(values.references(list[2]), 1);
  EXPECT_EQ(FormatLiterals(values, list.data(), list.size()), "1, \"A\", [2, 3]");
  for (const MoaMmValue& value : list) values.Release(value);
  list.clear();
  EXPECT_TRUE(ParseLiterals(values, "   ", &list, &error));
  EXPECT_TRUE(list.empty());
}

TEST_F(LingoLiterals, ReadsHexAsA32BitPatternAndLingosTruthConstants) {
  EXPECT_EQ(RoundTrip("0x046D"), "1133");
  EXPECT_EQ(RoundTrip("-0x10"), "-16");
  EXPECT_EQ(RoundTrip("0xC0110001"), "-1072627711");
  EXPECT_EQ(RoundTrip("[TRUE, false]"), "[1, 0]");
  EXPECT_EQ(RoundTrip("0x123456789"), "refused: column 1: integer out of range");
  EXPECT_EQ(RoundTrip("0x"), "refused: column 3: expected a hex digit after 0x");
  EXPECT_EQ(RoundTrip("TRUEish"), "refused: column 1: expected a value");
}

TEST_F(LingoLiterals, ALeadingLiteralTellsWhereItEnded) {
  const std::string text = " [1, \"]\"] rest";
  MoaMmValue value = kVoidMoaMmValue;
  size_t consumed = 0;
  std::string error;
  ASSERT_TRUE(ParseLeadingLiteral(values, text, &value, &consumed, &error));
  EXPECT_EQ(text.substr(consumed), " rest");
  EXPECT_EQ(FormatLiteral(values, value), "[1, \"]\"]");
  values.Release(value);
  EXPECT_FALSE(ParseLeadingLiteral(values, "[1, ", &value, &consumed, &error));
  EXPECT_EQ(error, "column 5: expected a value, found the end");
}

TEST_F(LingoLiterals, RefusesWithTheColumnAndLeavesNothingAlive) {
  EXPECT_EQ(Refusal("1, \"A\", [2, 3"), "column 14: expected , or ] in the list");
  EXPECT_EQ(Refusal("[#a: 1, 2]"), "column 10: expected : after the property");
  EXPECT_EQ(Refusal("1 2"), "column 3: unexpected text after the value");
  EXPECT_EQ(Refusal("1,"), "column 3: expected a value, found the end");
  EXPECT_EQ(Refusal("\"open"), "column 1: string without its closing quote mark");
  EXPECT_EQ(Refusal("\"a\" & 1"), "column 7: expected a string, QUOTE or RETURN after &");
  EXPECT_EQ(Refusal("# x"), "column 2: expected a symbol name after #");
  EXPECT_EQ(Refusal("- 1"), "column 2: expected a digit");
  EXPECT_EQ(Refusal("2147483648"), "column 1: integer out of range");
  EXPECT_EQ(Refusal("[VOIDS]"), "column 2: expected a value");
  EXPECT_EQ(Refusal("<Object HidBridge 1>"), "column 1: expected a value");
  EXPECT_EQ(Refusal("[:"), "column 3: expected ] after [:");
}

TEST_F(LingoLiterals, ReadingRefusesListsNestedTooDeep) {
  EXPECT_EQ(Refusal(std::string(100000, '[')), "column 33: lists nested deeper than 32");
  EXPECT_EQ(RoundTrip(std::string(32, '[') + std::string(32, ']')), std::string(32, '[') + std::string(32, ']'));
}

// The Xtra may build lists deeper than the reader allows, or a list that
// holds itself; printing them must end all the same.
TEST(LiteralPrinting, ListsTooDeepOrHoldingThemselvesAreCutShort) {
  LingoValueStore values;
  MoaMmValue deep = values.List();
  const MoaMmValue innermost = deep;
  for (int i = 0; i < 40; ++i) {
    const MoaMmValue outer = values.List();
    values.Append(outer, deep);
    values.Release(deep);
    deep = outer;
  }
  EXPECT_EQ(FormatLiteral(values, deep), std::string(32, '[') + "[...]" + std::string(32, ']'));
  values.Append(innermost, deep);  // a list inside itself prints, too
  EXPECT_NE(FormatLiteral(values, deep).find("[...]"), std::string::npos);
}

}  // namespace

// The report descriptor a plugged device's properties make: Windows' parser
// must read back the same lengths, usage page and usage the stand-in takes.
#include "report_descriptor.h"

#include <cstdint>
#include <vector>

#include "test_framework.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kHead = {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08};

TEST(ReportDescriptor, AnUnnumberedPadHasOneReportOfEachKindOneByteShorterThanItsLength) {
  ReportLayout pad;
  pad.usagePage = 1;
  pad.usage = 5;
  pad.inputLength = 9;
  pad.outputLength = 9;
  Bytes expected = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01};
  expected.insert(expected.end(), kHead.begin(), kHead.end());
  expected.insert(expected.end(), {0x95, 0x08, 0x09, 0x01, 0x81, 0x02, 0x95, 0x08, 0x09, 0x01, 0x91, 0x02, 0xC0});
  EXPECT_EQ(MakeReportDescriptor(pad), expected);
}

TEST(ReportDescriptor, ANumberedBoardHasOneReportPerIdAndWideValuesTakeTwoBytes) {
  ReportLayout board;
  board.usagePage = 0xFF00;
  board.usage = 1;
  board.inputLength = 300;
  board.inputIds = {1, 2};
  board.featureLength = 5;
  board.featureIds = {4};
  Bytes expected = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};
  expected.insert(expected.end(), kHead.begin(), kHead.end());
  for (const std::uint8_t id : Bytes{1, 2})
    expected.insert(expected.end(), {0x85, id, 0x96, 0x2B, 0x01, 0x09, 0x01, 0x81, 0x02});
  expected.insert(expected.end(), {0x85, 0x04, 0x95, 0x04, 0x09, 0x01, 0xB1, 0x02, 0xC0});
  EXPECT_EQ(MakeReportDescriptor(board), expected);
}

}  // namespace

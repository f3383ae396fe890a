// The input buffer as the reader fills it and the script drains it.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "device/input_buffer.h"

namespace {

ByteList Report(uint8_t first, size_t length = 8) {
  ByteList report(length);
  for (size_t i = 0; i < length; ++i) report[i] = static_cast<uint8_t>(first + i);
  return report;
}

ByteList Joined(std::initializer_list<ByteList> reports) {
  ByteList joined;
  for (const ByteList& report : reports) joined.insert(joined.end(), report.begin(), report.end());
  return joined;
}

class Buffer : public testing::Test {
 protected:
  void Store(const ByteList& report) { input.Store(report.data(), report.size()); }
  // What ReadPacket (1 packet) and Read (any number) take.
  ByteList Take(size_t packets = SIZE_MAX, size_t perPacket = 65535, size_t total = 65536) {
    ByteList out;
    input.Remove(input.Copy(out, perPacket, packets, total));
    return out;
  }
  InputBuffer input;
};

TEST_F(Buffer, StartsEmptyAndEmptyReadsTakeNothing) {
  EXPECT_TRUE(Take(1).empty());
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(input.Bytes(), 0u);
  EXPECT_EQ(input.Packets(), 0u);
  input.Store(nullptr, 0);
  EXPECT_EQ(input.Packets(), 0u) << "an empty report is not stored";
}

TEST_F(Buffer, OnePacketIsTheOldestAndAllAreTheRestInOrder) {
  Store(Report(10));
  Store(Report(20, 3));
  Store(Report(30));
  EXPECT_EQ(input.Packets(), 3u);
  EXPECT_EQ(input.Bytes(), 19u);
  EXPECT_EQ(Take(1), Report(10));
  EXPECT_EQ(input.Packets(), 2u);
  EXPECT_EQ(Take(), Joined({Report(20, 3), Report(30)}));
  EXPECT_EQ(input.Packets(), 0u);
}

TEST_F(Buffer, APacketsMaximumCutsItAndItsRestGoesWithIt) {
  Store(Report(1));
  Store(Report(100));
  EXPECT_EQ(Take(SIZE_MAX, 3), (ByteList{1, 2, 3, 100, 101, 102}));
  EXPECT_EQ(input.Bytes(), 0u);
  Store(Report(1));
  Store(Report(2));
  EXPECT_TRUE(Take(SIZE_MAX, 0).empty());
  EXPECT_EQ(input.Packets(), 0u) << "a maximum of 0 still takes the packets, so reading ends";
}

TEST_F(Buffer, OneReadTakesWholePacketsUpToItsTotalAndAlwaysOne) {
  for (uint8_t i = 0; i < 5; ++i) Store(Report(i * 10, 8));
  EXPECT_EQ(Take(SIZE_MAX, 65535, 20), Joined({Report(0), Report(10)}));
  EXPECT_EQ(input.Packets(), 3u);
  EXPECT_EQ(Take(SIZE_MAX, 65535, 5), Report(20)) << "one packet even when it alone is over the total";
  EXPECT_EQ(Take(), Joined({Report(30), Report(40)}));
}

TEST_F(Buffer, CopiedPacketsStayUntilRemovedAndNewerOnesSurviveTheRemoval) {
  Store(Report(1));
  ByteList out;
  const InputBuffer::Copied copied = input.Copy(out, 65535, SIZE_MAX, 65536);
  EXPECT_EQ(out, Report(1));
  EXPECT_EQ(input.Packets(), 1u) << "a movie that could not take them loses nothing";
  // Meanwhile the reader keeps only the newest, replacing the copied one.
  input.KeepOnlyNewest(true);
  Store(Report(2));
  input.Remove(copied);
  EXPECT_EQ(Take(), Report(2));
}

TEST_F(Buffer, KeepingOnlyTheNewestReplacesEverythingAtTheNextReport) {
  Store(Report(1));
  Store(Report(2));
  input.KeepOnlyNewest(true);
  EXPECT_EQ(input.Packets(), 2u);
  Store(Report(3));
  Store(Report(4));
  EXPECT_EQ(Take(), Report(4));
  input.KeepOnlyNewest(false);
  Store(Report(5));
  Store(Report(6));
  EXPECT_EQ(input.Packets(), 2u);
}

TEST_F(Buffer, BeyondItsBoundTheOldestReportsGoAndAreCounted) {
  const size_t reportSize = 65535;
  const size_t fitting = InputBuffer::kMaxBytes / reportSize;
  for (size_t i = 0; i < fitting + 5; ++i) Store(Report(static_cast<uint8_t>(i), reportSize));
  EXPECT_EQ(input.Packets(), fitting);
  EXPECT_LE(input.Bytes(), InputBuffer::kMaxBytes);
  EXPECT_LE(input.Capacity(), InputBuffer::kMaxBytes) << "the ring never outgrows the bound";
  EXPECT_EQ(input.TakeDroppedCount(), 5u);
  EXPECT_EQ(input.TakeDroppedCount(), 0u);
  EXPECT_EQ(Take(1).front(), 5);
  Store(Report(1, reportSize));
  Store(Report(2, reportSize));
  EXPECT_EQ(input.TakeDroppedCount(), 1u) << "only what is new since it was last told";
  EXPECT_EQ(input.DroppedCount(), 6u) << "GetStatus counts them all";
}

TEST_F(Buffer, ABacklogsRingIsLetGoOnceReadButASmallOneIsKept) {
  for (int i = 0; i < 40000; ++i) Store(Report(static_cast<uint8_t>(i), 64));
  EXPECT_GT(input.Capacity(), 1u << 20);
  while (input.Packets()) Take();
  EXPECT_EQ(input.Capacity(), 0u);
  Store(Report(1));
  const size_t small = input.Capacity();
  Take();
  EXPECT_EQ(input.Capacity(), small);
}

// Reports of changing lengths, stored and taken at about the same pace so
// that they wrap around the ring's end again and again, with a burst that
// makes the ring grow while they do, come out as they went in.
TEST_F(Buffer, PacketsThatWrapAroundAndOutgrowTheRingComeOutWhole) {
  std::vector<ByteList> expected;
  uint8_t next = 0;
  for (int round = 0; round < 600; ++round) {
    const int stored = round % 5 + 1 + (round == 300 ? 60 : 0);
    for (int i = 0; i < stored; ++i) {
      expected.push_back(Report(next, 50 + (next * 37) % 400));
      Store(expected.back());
      ++next;
    }
    const size_t takes = static_cast<size_t>((round + 2) % 5 + 1);
    const ByteList taken = Take(takes);
    ByteList wanted;
    for (size_t i = 0; i < takes && !expected.empty(); ++i) {
      wanted.insert(wanted.end(), expected.front().begin(), expected.front().end());
      expected.erase(expected.begin());
    }
    ASSERT_EQ(taken, wanted) << "round " << round;
  }
}

// The reader stores while the script counts and reads: every read sees whole
// packets, in the order they were stored, and none is lost or doubled.
TEST_F(Buffer, ConcurrentStoringAndReadingSeesWholePacketsInOrder) {
  constexpr int kReports = 20000;
  std::thread reader([this] {
    for (int i = 0; i < kReports; ++i) {
      ByteList report(4, static_cast<uint8_t>(i));
      report[0] = static_cast<uint8_t>(i >> 8);
      Store(report);
    }
  });
  int next = 0;
  while (next < kReports) {
    EXPECT_EQ(input.Bytes() % 4, 0u);
    const ByteList out = Take(next % 2 ? 1 : SIZE_MAX);
    ASSERT_EQ(out.size() % 4, 0u);
    for (size_t at = 0; at < out.size(); at += 4, ++next) {
      ASSERT_EQ(out[at], static_cast<uint8_t>(next >> 8));
      ASSERT_EQ(out[at + 3], static_cast<uint8_t>(next));
    }
  }
  reader.join();
  EXPECT_EQ(input.Packets(), 0u);
}

}  // namespace

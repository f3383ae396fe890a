// The input buffer as the reader fills it and the script drains it.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "device/usb_class_pc.h"

namespace {

Packet Report(uint8_t first, size_t length = 8) {
  Packet report(length);
  for (size_t i = 0; i < length; ++i) report[i] = static_cast<uint8_t>(first + i);
  return report;
}

class InputBuffer : public testing::Test {
 protected:
  void Store(const Packet& report) { device.StorePacket(report.data(), report.size()); }
  UsbClassPC device;
};

TEST_F(InputBuffer, StartsEmptyAndEmptyReadsAppendNothing) {
  ByteList out;
  EXPECT_FALSE(device.Read(out, 65535).isError);
  EXPECT_FALSE(device.ReadPacket(out, 65535).isError);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(device.NumberOfItemsInReadBuffer(), 0);
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 0);
}

TEST_F(InputBuffer, ReadPacketTakesTheOldestAndReadTakesTheRestInOrder) {
  Store(Report(10));
  Store(Report(20));
  Store(Report(30));
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 3);
  EXPECT_EQ(device.NumberOfItemsInReadBuffer(), 24);

  ByteList out;
  device.ReadPacket(out, 65535);
  EXPECT_EQ(out, Report(10));
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 2);

  out.clear();
  device.Read(out, 65535);
  Packet expected = Report(20);
  const Packet third = Report(30);
  expected.insert(expected.end(), third.begin(), third.end());
  EXPECT_EQ(out, expected);
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 0);
}

TEST_F(InputBuffer, TheMaximumLimitsEachPacketAndItsRestIsDropped) {
  Store(Report(1));
  Store(Report(100));
  ByteList out;
  device.Read(out, 3);
  EXPECT_EQ(out, (ByteList{1, 2, 3, 100, 101, 102}));
  EXPECT_EQ(device.NumberOfItemsInReadBuffer(), 0);
}

TEST_F(InputBuffer, AMaximumOfZeroStillConsumesPacketsSoReadEnds) {
  Store(Report(1));
  Store(Report(2));
  ByteList out;
  device.Read(out, 0);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 0);
}

TEST_F(InputBuffer, EmptyReportsAreNotStored) {
  device.StorePacket(nullptr, 0);
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 0);
}

TEST_F(InputBuffer, KeepingOnlyTheNewestReplacesEverythingAtTheNextReport) {
  Store(Report(1));
  Store(Report(2));
  Store(Report(3));
  device.SetDoNotBufferPackets(true);
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 3);
  Store(Report(4));
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 1);
  ByteList out;
  device.ReadPacket(out, 65535);
  EXPECT_EQ(out, Report(4));

  device.SetDoNotBufferPackets(false);
  Store(Report(5));
  Store(Report(6));
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 2);
}

TEST_F(InputBuffer, BeyondItsBoundTheOldestReportsGoAndAreCounted) {
  const size_t reportSize = 65535;
  const size_t fitting = UsbClassBase::kMaxBufferedBytes / reportSize;
  for (size_t i = 0; i < fitting + 5; ++i) Store(Report(static_cast<uint8_t>(i), reportSize));
  EXPECT_EQ(static_cast<size_t>(device.NumberOfPacketsInReadBuffer()), fitting);
  EXPECT_LE(static_cast<size_t>(device.NumberOfItemsInReadBuffer()), UsbClassBase::kMaxBufferedBytes);
  EXPECT_EQ(device.TakeDroppedPacketCount(), 5u);
  EXPECT_EQ(device.TakeDroppedPacketCount(), 0u);
  ByteList out;
  device.ReadPacket(out, 65535);
  EXPECT_EQ(out.front(), 5);
}

// The reader stores while the script counts and reads: every read sees whole
// packets, in the order they were stored, and none is lost or doubled.
TEST_F(InputBuffer, ConcurrentStoringAndReadingSeesWholePacketsInOrder) {
  constexpr int kReports = 20000;
  std::thread reader([this] {
    for (int i = 0; i < kReports; ++i) {
      Packet report(4, static_cast<uint8_t>(i));
      report[0] = static_cast<uint8_t>(i >> 8);
      Store(report);
    }
  });
  int next = 0;
  while (next < kReports) {
    EXPECT_EQ(device.NumberOfItemsInReadBuffer() % 4, 0);
    ByteList out;
    if (next % 2) device.ReadPacket(out, 65535); else device.Read(out, 65535);
    ASSERT_EQ(out.size() % 4, 0u);
    for (size_t at = 0; at < out.size(); at += 4, ++next) {
      ASSERT_EQ(out[at], static_cast<uint8_t>(next >> 8));
      ASSERT_EQ(out[at + 3], static_cast<uint8_t>(next));
    }
  }
  reader.join();
  EXPECT_EQ(device.NumberOfPacketsInReadBuffer(), 0);
}

}  // namespace

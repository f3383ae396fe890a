// Debug output, message boxes and plug notices reach the test in order.
#include "standin_fixture.h"

namespace {

using Recorders = StandinTest;

TEST_F(Recorders, DebugOutputIsRecordedAndPassedToTheSink) {
  std::vector<std::string> sunk;
  standin::SetDebugOutputSink([&](const std::string& text) { sunk.push_back(text); });
  OutputDebugStringA("one\n");
  OutputDebugStringA("two");
  EXPECT_EQ(standin::DebugOutput(), (std::vector<std::string>{"one\n", "two"}));
  EXPECT_EQ(sunk, standin::DebugOutput());
  standin::ClearRecords();
  EXPECT_TRUE(standin::DebugOutput().empty());
}

TEST_F(Recorders, MessageBoxesAreAnsweredByTheHandlerOrWithOk) {
  HWND owner = reinterpret_cast<HWND>(0x1234);
  EXPECT_EQ(MessageBoxW(owner, u"Device lost \u00E9\u20AC", nullptr, MB_OK | MB_ICONERROR), IDOK);
  standin::SetMessageBoxHandler([](const standin::MessageBoxCall& call) { return call.type == MB_YESNO ? IDNO : IDOK; });
  EXPECT_EQ(MessageBoxW(nullptr, u"Retry?", u"HidBridge", MB_YESNO), IDNO);
  const auto boxes = standin::MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, "Device lost \u00E9\u20AC") << "recorded as UTF-8";
  EXPECT_EQ(boxes[0].owner, owner);
  EXPECT_EQ(boxes[1].caption, "HidBridge");
  EXPECT_EQ(boxes[1].type, MB_YESNO);
  standin::Reset();
  EXPECT_EQ(MessageBoxW(nullptr, u"Retry?", u"HidBridge", MB_YESNO), IDOK) << "Reset restores the default answer";
}

TEST_F(Recorders, WideMessageBoxesAreRecordedAsUtf8WithTheirOwner) {
  const HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
  EXPECT_EQ(MessageBoxW(owner, u"Pad \u00E9 \u20AC \U0001F600", u"HidBridge", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, u"x", nullptr, MB_OK), IDOK);
  const auto boxes = standin::MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Pad \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(boxes[0].caption, "HidBridge");
  EXPECT_EQ(boxes[0].owner, owner);
  EXPECT_EQ(boxes[1].caption, "Error");
}

TEST_F(Recorders, ListenersHearPlugsAndUnplugsIncludingReset) {
  std::vector<std::pair<standin::BusEvent::Kind, std::string>> heard;
  const auto listener = standin::AddBusListener(
      [&](const standin::BusEvent& event) { heard.emplace_back(event.kind, event.path); });
  const auto device = standin::PlugDevice(Board());
  const std::string path = standin::DevicePath(device);
  standin::Unplug(device);
  standin::Unplug(device);  // already gone: no second notice
  standin::PlugDevice(Board(0x0200));
  standin::Reset();
  standin::RemoveBusListener(listener);
  standin::PlugDevice(Board());
  using Kind = standin::BusEvent::Kind;
  ASSERT_EQ(heard.size(), 4u);
  EXPECT_EQ(heard[0], std::make_pair(Kind::Arrival, path));
  EXPECT_EQ(heard[1], std::make_pair(Kind::Removal, path));
  EXPECT_EQ(heard[2].first, Kind::Arrival);
  EXPECT_EQ(heard[3].first, Kind::Removal);
}

TEST_F(Recorders, LeftoversAreDescribedByKind) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const auto device = standin::PlugDevice(Board());
  HANDLE file = Open(device);
  EXPECT_EQ(standin::DescribeOpenHandles(), "1 event, 1 file");
  CloseHandle(file);
  CloseHandle(event);
  EXPECT_EQ(standin::DescribeOpenHandles(), "");
}

}  // namespace

// A substitute host with the fake Xtra loaded: every test ends by asking
// the host what the Xtra left behind or misused.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "director_host.h"
#include "script_instance.h"
#include "test_framework.h"

// The fake Xtra's handler lines, in selector order.
enum FakeSelector {
  kFakeNew = 0,
  kFakeForget = 1,
  kFakeVersion = 2,
  kFakeEcho = 3,
  kFakeMake = 4,
  kFakeInspect = 5,
  kFakeTell = 6,
  kFakeTellMovie = 7,
  kFakeBox = 8,
  kFakeListen = 9,
  kFakeIdles = 10,
  kFakeScribble = 11,
  kFakeReleaseArgument = 12,
  kFakeAppInfo = 13,
};

class FakeXtraHost : public testing::Test {
 protected:
  void SetUp() override {
    loaded = host.Load(FAKE_XTRA_PATH);
    host.OnMessageBox(
        [this](const std::string& caption, const std::string& text) { boxes.emplace_back(caption, text); });
  }
  void TearDown() override {
    me.reset();
    EXPECT_EQ(host.Leaks(), expectedLeaks);
  }
  ScriptInstance& New() {
    me = std::make_unique<ScriptInstance>(host);
    return *me;
  }

  DirectorHost host;
  bool loaded = false;
  std::unique_ptr<ScriptInstance> me;
  std::vector<std::pair<std::string, std::string>> boxes;
  std::vector<std::string> expectedLeaks;
};

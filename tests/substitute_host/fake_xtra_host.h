// A substitute host with the fake Xtra loaded: every test ends by asking
// the host what the Xtra left behind or misused.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "director_host.h"
#include "fake_selectors.h"
#include "script_instance.h"
#include "test_framework.h"

class FakeXtraHost : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Load(FAKE_XTRA_PATH)) << host.error();
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
  std::unique_ptr<ScriptInstance> me;
  std::vector<std::pair<std::string, std::string>> boxes;
  std::vector<std::string> expectedLeaks;
};

// A fixture that loads the Xtra into a fresh substitute host, failing the
// test before its body when it does not load, and, at the end of every test,
// insists that the Xtra left nothing behind.
#pragma once

#include <chrono>

#include "director_host.h"
#include "test_framework.h"
#include "xtra_calls.h"

// Tests that drive an Xtra through the host speak Director's names.
using namespace director;

class LoadedXtra : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(host.Load()) << host.error(); }
  void TearDown() override {
    host.module().AwaitUnloadable(std::chrono::seconds(5));
    for (const std::string& leak : host.Leaks()) ADD_FAILURE() << "left behind:" << leak;
  }

  // An interface of the instance, called through its slots as Director does.
  template <class Interface>
  Interface* Get(HostInstance* instance, const MoaID& iid) {
    void* out = nullptr;
    return instance->QueryInterface(&iid, &out) == kMoaErr_NoErr ? static_cast<Interface*>(out) : nullptr;
  }

  DirectorHost host;
};

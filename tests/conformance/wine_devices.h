// The fixture of the conformance tests. Under Wine the system provides its
// HID mouse and keyboard; natively the stand-in plugs in look-alikes and
// checks afterwards that every test closed what it opened.
#pragma once

#include "test_framework.h"

// Whether the tests run under Wine, for the checks of what Wine 8 does
// otherwise than Windows documents.
bool UnderWine();

class WindowsApi : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

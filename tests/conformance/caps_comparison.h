// What one open collection answers HidP_GetCaps, HidP_GetButtonCaps,
// HidP_GetValueCaps and HidP_GetLinkCollectionNodes, compared member by
// member with what Windows made of the same collection.
#pragma once

#include <string>
#include <vector>

#include "windows_api.h"
#include "windows_hid_corpus.h"

// One member that differs in one collection ("046D_C52F_0001_000C"), and
// where among its answers ("input button cap 0"); values as printed.
struct Difference {
  std::string collection;
  std::string where;
  std::string member;
  std::string actual;
  std::string windows;

  std::string Text() const;
};

std::vector<Difference> CompareCollection(const WindowsCollection& windows, PHIDP_PREPARSED_DATA preparsed);

// What the collections present have told of themselves, kept while each
// stays present: listing again then costs one walk of the setup API, not
// one conversation with every device. Which collections are present is
// walked afresh every time, so a listing never answers one that is gone.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "device/hid_collection_info.h"

class CollectionCache {
 public:
  // The description of the collection at `path`, asked of it only the first
  // time (and again for its caps when `withCaps` and they were not asked
  // for before, or for a string whose read failed); null when it will not
  // tell even its ids.
  const HidCollectionInfo* Describe(const std::string& path, bool withCaps);
  // What is kept of the collection at `path`; null when nothing is.
  const HidCollectionInfo* Find(const std::string& path);
  // Keeps what an open learnt of a collection, caps included.
  void Keep(const HidCollectionInfo& collection);
  // Forgets every collection a walk no longer found.
  void KeepOnly(const std::vector<std::string>& present);

  // A removal was heard: a collection that comes back at the same path may
  // be another device, so every cache forgets all it kept.
  static void ForgetEverything();

 private:
  struct Entry {
    HidCollectionInfo info;
    bool withCaps = false;
  };
  // Forgets all when a removal was heard since the last look.
  void CatchUp();

  std::unordered_map<std::string, Entry> entries_;
  unsigned removalsSeen_ = 0;
};

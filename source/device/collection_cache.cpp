#include "device/collection_cache.h"

#include <algorithm>
#include <atomic>

#include "device/collection_description.h"

namespace {

// Removals are heard on Director's thread, but tests and hosts may list from
// others: counted atomically, looked at before each use.
std::atomic<unsigned> gRemovalsHeard{0};

}  // namespace

void CollectionCache::ForgetEverything() { ++gRemovalsHeard; }

void CollectionCache::CatchUp() {
  const unsigned heard = gRemovalsHeard.load();
  if (heard == removalsSeen_) return;
  entries_.clear();
  removalsSeen_ = heard;
}

const HidCollectionInfo* CollectionCache::Describe(const std::string& path, bool withCaps) {
  CatchUp();
  const auto kept = entries_.find(path);
  // A string that could not be read is asked again.
  if (kept != entries_.end() && (kept->second.withCaps || !withCaps) && !kept->second.info.stringsUnread)
    return &kept->second.info;
  Entry entry;
  if (!DescribeCollectionAt(path.c_str(), withCaps, entry.info)) return nullptr;
  entry.withCaps = withCaps;
  return &(entries_[path] = std::move(entry)).info;
}

const HidCollectionInfo* CollectionCache::Find(const std::string& path) {
  CatchUp();
  const auto kept = entries_.find(path);
  return kept == entries_.end() ? nullptr : &kept->second.info;
}

void CollectionCache::Keep(const HidCollectionInfo& collection) {
  CatchUp();
  entries_[collection.path] = Entry{collection, true};
}

void CollectionCache::KeepOnly(const std::vector<std::string>& present) {
  CatchUp();
  for (auto entry = entries_.begin(); entry != entries_.end();) {
    if (std::find(present.begin(), present.end(), entry->first) == present.end())
      entry = entries_.erase(entry);
    else
      ++entry;
  }
}

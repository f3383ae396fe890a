// Director's registry of Xtras, reduced to what registration touches: a
// cache that adds entries and dictionaries that record every put.
#pragma once

#include <string>
#include <vector>

#include "host_service.h"

namespace director {
XDK_SERVICE_CLASS(IMoaDictSlots, IMoaDict, IID_IMoaDict, XDK_IMOADICT_SLOTS, XDK_NO_UNLISTED, false);
XDK_SERVICE_CLASS(IMoaCacheSlots, IMoaCache, IID_IMoaCache, XDK_IMOACACHE_SLOTS, XDK_NO_UNLISTED, false);
}  // namespace director

struct DictPut {
  director::MoaUlong type;
  std::string key;
  director::MoaLong size;
  std::string data;  // a C string put with size 0 is held without its terminator
};

class HostDict final : public director::IMoaDictSlots {
 public:
  explicit HostDict(HostWatch& hostWatch) : IMoaDictSlots(hostWatch) {}
  director::MoaError Put(director::MoaUlong type, const void* data, director::MoaLong size, const char* key) override;

  const std::vector<DictPut>& puts() const { return puts_; }
  const DictPut* Find(const std::string& key) const;
  // Puts under `key` answer `status` and store nothing.
  void FailPut(const std::string& key, director::MoaError status);

 private:
  std::vector<DictPut> puts_;
  std::string failKey_;
  director::MoaError failStatus_ = director::kMoaErr_NoErr;
};

class HostCache final : public director::IMoaCacheSlots {
 public:
  // `xtraDict` is the one Xtra entry dictionary Register is given.
  HostCache(HostWatch& hostWatch, HostDict& xtraDict)
      : IMoaCacheSlots(hostWatch), xtraDict_(xtraDict), entry_(hostWatch) {}
  // The dictionary handed back belongs to the cache: the Xtra must neither
  // AddRef nor Release it, which its reference count shows.
  director::MoaError AddRegistryEntry(director::IMoaDict* xtraDict, const director::MoaID* classId,
                                      const director::MoaID* iid, director::IMoaDict** registryEntryDict) override;

  HostDict& entry() { return entry_; }
  const HostDict& entry() const { return entry_; }
  director::MoaID registeredClass() const { return classId_; }
  director::MoaID registeredInterface() const { return interfaceId_; }
  int entriesAdded() const { return entriesAdded_; }
  void FailAddRegistryEntry(director::MoaError status) { failStatus_ = status; }

 private:
  HostDict& xtraDict_;
  HostDict entry_;
  director::MoaID classId_{};
  director::MoaID interfaceId_{};
  int entriesAdded_ = 0;
  director::MoaError failStatus_ = director::kMoaErr_NoErr;
};

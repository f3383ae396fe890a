// Director's registry of Xtras, reduced to what registration touches: a
// cache that adds entries and dictionaries that record every put.
#pragma once

#include <string>
#include <vector>

#include "host_object.h"

constexpr MoaID IID_HostDict = {0x5A110C00, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 2}};
constexpr MoaID IID_HostCache = {0x5A110C00, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 3}};

struct DictPut {
  MoaLong type;
  std::string key;
  MoaLong size;
  std::string data;  // a size of 0 means a zero-terminated text
};

class HostDict : public HostObject<IMoaDict> {
 public:
  HostDict() : HostObject(IID_HostDict) {}
  MoaError MOA_CALL Put(MoaLong type, const void* data, MoaLong size, const char* key) override;

  const std::vector<DictPut>& puts() const { return puts_; }
  const DictPut* Find(const std::string& key) const;
  // Puts under `key` answer `status` and store nothing.
  void FailPut(const std::string& key, MoaError status);

 private:
  std::vector<DictPut> puts_;
  std::string failKey_;
  MoaError failStatus_ = kMoaErr_NoErr;
};

class HostCache : public HostObject<IMoaCache> {
 public:
  HostCache() : HostObject(IID_HostCache) {}
  MoaError MOA_CALL AddRegistryEntry(IMoaDict* xtraDict, const MoaID* classId, const MoaID* interfaceId,
                                     IMoaDict** registryEntryDict) override;

  HostDict& entry() { return entry_; }
  MoaID registeredClass() const { return classId_; }
  MoaID registeredInterface() const { return interfaceId_; }
  int entriesAdded() const { return entriesAdded_; }
  void FailAddRegistryEntry(MoaError status) { failStatus_ = status; }

 private:
  HostDict entry_;
  MoaID classId_{};
  MoaID interfaceId_{};
  int entriesAdded_ = 0;
  MoaError failStatus_ = kMoaErr_NoErr;
};

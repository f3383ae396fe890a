#include "host_registry.h"

#include <cstring>

MoaError MOA_CALL HostDict::Put(MoaLong type, const void* data, MoaLong size, const char* key) {
  if (!failKey_.empty() && failKey_ == key) return failStatus_;
  const char* bytes = static_cast<const char*>(data);
  const size_t length = size == 0 ? std::strlen(bytes) : static_cast<size_t>(size);
  puts_.push_back({type, key, size, std::string(bytes, length)});
  return kMoaErr_NoErr;
}

const DictPut* HostDict::Find(const std::string& key) const {
  for (const DictPut& put : puts_)
    if (put.key == key) return &put;
  return nullptr;
}

void HostDict::FailPut(const std::string& key, MoaError status) {
  failKey_ = key;
  failStatus_ = status;
}

MoaError MOA_CALL HostCache::AddRegistryEntry(IMoaDict*, const MoaID* classId, const MoaID* interfaceId,
                                              IMoaDict** registryEntryDict) {
  if (failStatus_ != kMoaErr_NoErr) return failStatus_;
  classId_ = *classId;
  interfaceId_ = *interfaceId;
  ++entriesAdded_;
  *registryEntryDict = &entry_;
  return kMoaErr_NoErr;
}

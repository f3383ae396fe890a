#include "host_registry.h"

#include <cstring>

using namespace director;

MoaError HostDict::Put(MoaUlong type, const void* data, MoaLong size, const char* key) {
  if (!data || !key || size < 0) return kHostErr_BadArgument;
  if (!failKey_.empty() && failKey_ == key) return failStatus_;
  const char* bytes = static_cast<const char*>(data);
  const bool text = type == kMoaDictType_CString && size == 0;
  puts_.push_back({type, key, size, std::string(bytes, text ? std::strlen(bytes) : static_cast<size_t>(size))});
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

MoaError HostCache::AddRegistryEntry(IMoaDict* xtraDict, const MoaID* classId, const MoaID* iid,
                                     IMoaDict** registryEntryDict) {
  if (!classId || !iid || !registryEntryDict) return kHostErr_BadArgument;
  if (xtraDict != xtraDict_.object()) watch().Misuse("not the Xtra entry dictionary that Register was given");
  if (failStatus_ != kMoaErr_NoErr) return failStatus_;
  classId_ = *classId;
  interfaceId_ = *iid;
  ++entriesAdded_;
  *registryEntryDict = entry_.object();
  return kMoaErr_NoErr;
}

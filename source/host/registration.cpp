#include <cstring>

#include "host/class_table.h"
#include "host/interface_objects.h"
#include "host/method_table.h"

MoaError MOA_CALL TStdXtra_IMoaRegister::Register(IMoaCache* cache, IMoaDict* xtraDict) {
  IMoaDict* entry = nullptr;
  MoaError status = cache->AddRegistryEntry(xtraDict, &kHidBridgeClassId, &IID_IMoaMmXScript, &entry);
  if (status != kMoaErr_NoErr) return status;

  char versionLine[kVersionLineSize];
  FormatVersionLine(versionLine);
  auto* text = static_cast<char*>(owner->pCalloc->NRAlloc(kMessageTableSize));
  if (!text) return kMoaErr_OutOfMem;
  std::strcpy(text, versionLine);
  std::strcat(text, kMethodTableBody);

  status = entry->Put(kMoaDictType_CString, text, 0, "msgTable");
  if (status == kMoaErr_NoErr) {
    const unsigned char safeForShockwave = 1;
    status = entry->Put(kMoaDictType_Bool, &safeForShockwave, 1, "safeForShockwave");
  }
  owner->pCalloc->NRFree(text);
  return status;
}

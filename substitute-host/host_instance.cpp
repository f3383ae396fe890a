#include "host_instance.h"

#include <cstring>
#include <map>

#include "director_ids.h"
#include "host_errors.h"

using namespace director;

namespace {

// Opaque to the Xtra, and unusable: reading through it faults at once.
const void* const kMagicCookie = reinterpret_cast<const void*>(static_cast<uintptr_t>(0xC0DE));

constexpr const char* kUnknownSlots[] = {"QueryInterface", "AddRef", "Release"};
const InterfaceLayout kInstanceLayout{"IMoaUnknown of the instance", kUnknownSlots, 3};

// Live instances by block, for the slot functions, which get the block alone.
std::map<const void*, HostInstance*>& Live() {
  static std::map<const void*, HostInstance*> live;
  return live;
}

MoaError XDK_CALL InstanceQueryInterface(void* block, const MoaID* iid, void** out) {
  HostInstance* instance = HostInstance::Of(block);
  const HostWatch::Call call(instance->watch(), kInstanceLayout, 0);
  return instance->ServeQueryInterface(iid, out);
}

MoaUlong XDK_CALL InstanceAddRef(void* block) {
  HostInstance* instance = HostInstance::Of(block);
  const HostWatch::Call call(instance->watch(), kInstanceLayout, 1);
  return instance->ServeAddRef();
}

MoaUlong XDK_CALL InstanceRelease(void* block) {
  HostInstance* instance = HostInstance::Of(block);
  const HostWatch::Call call(instance->watch(), kInstanceLayout, 2);
  return instance->ServeRelease();
}

const SlotFunction kInstanceSlots[] = {reinterpret_cast<SlotFunction>(&InstanceQueryInterface),
                                       reinterpret_cast<SlotFunction>(&InstanceAddRef),
                                       reinterpret_cast<SlotFunction>(&InstanceRelease)};

}  // namespace

HostInstance::HostInstance(const XtraClass& xtraClass, HostAllocator& allocator, HostCallback& callback,
                           HostWatch& watch, void* block)
    : class_(xtraClass), allocator_(allocator), callback_(callback), watch_(watch), block_(block) {
  const InstanceBase base = Expected();
  std::memcpy(block_, &base, kInstanceBaseBytes);
  Live()[block_] = this;
}

HostInstance::~HostInstance() {
  if (block_) Live().erase(block_);
}

HostInstance* HostInstance::Of(const void* block) { return Live().at(block); }

InstanceBase HostInstance::Expected() const {
  InstanceBase base{};
  base.vtable = kInstanceSlots;
  base.magicCookie = kMagicCookie;
  base.pCallback = callback_.door();
  base.pCalloc = allocator_.door();
  base.pClassID = &class_.classId;
  base.refCount = references_;
  return base;
}

void HostInstance::CheckBase(const char* when) {
  if (!block_) return;
  const InstanceBase base = Expected();
  if (std::memcmp(block_, &base, kInstanceBaseBytes) == 0) return;
  watch_.Misuse(std::string("the Xtra wrote Director's instance base (bytes 0 to ") +
                std::to_string(kInstanceBaseBytes - 1) + ") " + when);
  std::memcpy(block_, &base, kInstanceBaseBytes);
}

MoaError HostInstance::QueryInterface(const MoaID* iid, void** out) {
  if (!block_) {
    if (out) *out = nullptr;
    return kMoaErr_BadInterface;
  }
  return xtra::QueryInterface(block_, iid, out);
}

MoaUlong HostInstance::AddRef() { return block_ ? xtra::AddRef(block_) : 0; }

MoaUlong HostInstance::Release() {
  if (!block_) {
    ++overReleases_;
    return 0;
  }
  return xtra::Release(block_);
}

MoaError HostInstance::ServeQueryInterface(const MoaID* iid, void** out) {
  if (!iid || !out) return kHostErr_BadArgument;
  if (SameMoaID(*iid, IID_IMoaUnknown)) {
    ServeAddRef();
    *out = block_;
    return kMoaErr_NoErr;
  }
  const MoaError status = class_.module->DllGetInterface(block_, &class_.classId, iid, out);
  CheckBase("while making an interface object");
  return status;
}

MoaUlong HostInstance::ServeAddRef() {
  CheckBase("before an AddRef");
  static_cast<InstanceBase*>(block_)->refCount = ++references_;
  return static_cast<MoaUlong>(references_);
}

MoaUlong HostInstance::ServeRelease() {
  CheckBase("before a Release");
  static_cast<InstanceBase*>(block_)->refCount = --references_;
  if (references_ == 0) Dispose();
  return static_cast<MoaUlong>(references_);
}

void HostInstance::Dispose() {
  class_.destroy(block_);
  CheckBase("in the destroy proc");
  Live().erase(block_);
  allocator_.NRFree(block_);
  block_ = nullptr;
}

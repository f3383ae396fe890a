#include "host_service.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace director;

HostService::HostService(HostWatch& hostWatch, const InterfaceLayout& layout, const MoaID& iid,
                         const SlotFunction* slots)
    : watch_(hostWatch), layout_(layout), iid_(iid), door_{slots, this} {}

MoaError HostService::QueryInterface(const MoaID* iid, void** out) {
  if (!iid || !out) return kHostErr_BadArgument;
  if (SameMoaID(*iid, iid_) || SameMoaID(*iid, IID_IMoaUnknown)) {
    AddRef();
    *out = door();
    return kMoaErr_NoErr;
  }
  *out = nullptr;
  return kMoaErr_BadInterface;
}

MoaError AnswerText(const std::string& text, char* buffer, MoaLong size) {
  if (!buffer || size < 1) return kHostErr_BadArgument;
  if (text.size() + 1 > static_cast<size_t>(size)) {
    buffer[0] = '\0';
    return kHostErr_BufferTooSmall;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return kMoaErr_NoErr;
}

void UnlistedSlotCalled(void* door, int slot) {
  HostService& service = HostService::Behind<HostService>(door);
  const HostWatch::Call call(service.watch(), service.layout(), slot);
  service.watch().Misuse("a slot the host cannot answer");
#if defined(_WIN32)
  std::fprintf(stderr, "%s: a slot without published parameters; returning would corrupt the stack\n",
               HostWatch::SlotName(service.layout(), slot).c_str());
  std::fflush(stderr);
  std::_Exit(3);
#endif
}

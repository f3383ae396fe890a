#include <mutex>

#include "standin/kernel.h"

namespace {
std::recursive_mutex& MutexOf(LPCRITICAL_SECTION section) { return *static_cast<std::recursive_mutex*>(section->Lock); }
}  // namespace

extern "C" void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  *lpCriticalSection = {};
  lpCriticalSection->Lock = new std::recursive_mutex;
}

extern "C" void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  MutexOf(lpCriticalSection).lock();
}

extern "C" void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  MutexOf(lpCriticalSection).unlock();
}

extern "C" void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  delete &MutexOf(lpCriticalSection);
  lpCriticalSection->Lock = nullptr;
}

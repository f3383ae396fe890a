#include "values/host_text.h"

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::atomic<UINT> gHostCodePage{CP_UTF8};

int HostBytesFor(const WCHAR* wide, int units) {
  return WideCharToMultiByte(HostCodePage(), 0, wide, units, nullptr, 0, nullptr, nullptr);
}

bool IsHighSurrogate(WCHAR unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

void LearnHostEncoding(IMoaCallback* callback) {
  void* service = nullptr;
  if (!callback || callback->QueryInterface(&IID_IMoaAppInfo, &service) != kMoaErr_NoErr || !service) return;
  auto* appInfo = static_cast<IMoaAppInfo*>(service);
  char version[64] = "";
  if (appInfo->GetInfo(kMoaAppInfo_ProductVersion, version, sizeof version) == kMoaErr_NoErr) {
    // "10.1", "11.5", "8.5": only the major number matters.
    const long major = std::strtol(version, nullptr, 10);
    if (major > 0) gHostCodePage = major >= 11 ? CP_UTF8 : CP_ACP;
  }
  appInfo->Release();
}

UINT HostCodePage() { return gHostCodePage; }

void WideToHostText(const WCHAR* wide, char* text, size_t size) {
  text[0] = '\0';
  if (size < 2 || !wide[0]) return;
  int units = 0;
  while (wide[units]) ++units;
  // The longest prefix whose bytes fit beside the terminator, never ending
  // inside a surrogate pair.
  const int room = static_cast<int>(size) - 1;
  int low = 0;
  int high = units;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    const int bytes = HostBytesFor(wide, middle);
    if (bytes > 0 && bytes <= room)
      low = middle;
    else
      high = middle - 1;
  }
  if (low < units && low > 0 && IsHighSurrogate(wide[low - 1])) --low;
  if (low == 0) return;
  const int written = WideCharToMultiByte(HostCodePage(), 0, wide, low, text, room, nullptr, nullptr);
  text[written > 0 ? written : 0] = '\0';
}

bool WideToHostTextExactly(const WCHAR* wide, char* text, size_t size) {
  WideToHostText(wide, text, size);
  const size_t units = std::char_traits<WCHAR>::length(wide);
  std::vector<WCHAR> back(units + 1);
  if (HostTextToWide(text, back.data(), back.size()) &&
      std::char_traits<WCHAR>::compare(back.data(), wide, units + 1) == 0)
    return true;
  text[0] = '\0';
  return false;
}

bool HostTextToWide(const char* text, WCHAR* wide, size_t units) {
  wide[0] = 0;
  if (!text[0]) return true;
  if (MultiByteToWideChar(HostCodePage(), 0, text, -1, wide, static_cast<int>(units)) > 0) return true;
  wide[0] = 0;
  return false;
}

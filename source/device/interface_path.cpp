#include "device/interface_path.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows writes both "Vid_" and "VID_", so the marker's case cannot matter.
const char* FindMarker(const char* path, const char* marker) {
  for (const char* at = path; *at; ++at) {
    int i = 0;
    while (marker[i] && LowerCase(at[i]) == marker[i]) ++i;
    if (!marker[i]) return at;
  }
  return nullptr;
}

// The value of up to `digits` hexadecimal digits; -1 when there is none.
int32_t HexAfter(const char* marker, int markerLength, int digits) {
  int32_t value = -1;
  for (int i = markerLength; i < markerLength + digits; ++i) {
    const int digit = HexDigit(marker[i]);
    if (digit < 0) break;
    value = (value < 0 ? 0 : value * 16) + digit;
  }
  return value;
}

int32_t IdAfter(const char* marker) {
  const int32_t id = HexAfter(marker, 4, 4);
  return id < 0 ? 0 : id;
}

}  // namespace

bool ParseVidPid(const char* path, int32_t* vendorId, int32_t* productId) {
  const char* vid = FindMarker(path, "vid_");
  if (!vid || vid == path) return false;
  const char* pid = FindMarker(path, "pid_");
  *vendorId = IdAfter(vid);
  *productId = pid ? IdAfter(pid) : 0;
  return true;
}

int32_t InterfaceNumberOf(const char* path) {
  const char* interfacePart = FindMarker(path, "&mi_");
  return interfacePart ? HexAfter(interfacePart, 4, 2) : -1;
}

#include "host_windows.h"
#include "import_patch.h"
#include "message_boxes.h"

namespace {

MessageBoxSink gSink;

std::string Utf8(LPCWSTR wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return "";
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the terminator
  return bytes;
}

// Windows titles a box without a caption "Error".
int WINAPI RecordMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT) {
  if (gSink) gSink(owner, caption ? Utf8(caption) : "Error", text ? Utf8(text) : "");
  return IDOK;
}

}  // namespace

bool CaptureMessageBoxes(const XtraModule& module, MessageBoxSink sink, std::string* error) {
  gSink = std::move(sink);
  const auto xtra = static_cast<HMODULE>(module.handle());
  return PatchImport(xtra, "USER32.dll", "MessageBoxW", reinterpret_cast<const void*>(&RecordMessageBoxW), error);
}

void StopCapturingMessageBoxes() { gSink = nullptr; }

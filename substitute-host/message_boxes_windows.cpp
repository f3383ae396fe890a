#include "host_windows.h"
#include "import_patch.h"
#include "message_boxes.h"
#include "text_encoding.h"

namespace {

MessageBoxSink gSink;

// Windows titles a box without a caption "Error".
int WINAPI RecordMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT) {
  if (gSink) gSink(owner, caption ? Utf8FromUtf16(caption) : "Error", text ? Utf8FromUtf16(text) : "");
  return IDOK;
}

}  // namespace

bool CaptureMessageBoxes(const XtraModule& module, MessageBoxSink sink, std::string* error) {
  gSink = std::move(sink);
  const auto xtra = static_cast<HMODULE>(module.handle());
  return PatchImport(xtra, "USER32.dll", "MessageBoxW", reinterpret_cast<const void*>(&RecordMessageBoxW), error);
}

void StopCapturingMessageBoxes() { gSink = nullptr; }

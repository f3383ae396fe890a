#include "standin/recorders.h"

#include <mutex>

#include "faults.h"
#include "resets.h"
#include "standin/kernel.h"
#include "standin/user.h"

namespace standin {
namespace {

struct Recorders {
  std::mutex mutex;
  std::vector<std::string> debugOutput;
  std::vector<MessageBoxCall> messageBoxes;
  std::function<void(const std::string&)> debugSink;
  std::function<int(const MessageBoxCall&)> messageBoxHandler;
};

Recorders& TheRecorders() {
  static auto* recorders = new Recorders;  // never destroyed: detached threads may outlive main
  return *recorders;
}

}  // namespace

std::vector<std::string> DebugOutput() {
  std::lock_guard lock(TheRecorders().mutex);
  return TheRecorders().debugOutput;
}

std::vector<MessageBoxCall> MessageBoxes() {
  std::lock_guard lock(TheRecorders().mutex);
  return TheRecorders().messageBoxes;
}

void SetDebugOutputSink(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(TheRecorders().mutex);
  TheRecorders().debugSink = std::move(sink);
}

void SetMessageBoxHandler(std::function<int(const MessageBoxCall&)> handler) {
  std::lock_guard lock(TheRecorders().mutex);
  TheRecorders().messageBoxHandler = std::move(handler);
}

void ClearRecords() {
  std::lock_guard lock(TheRecorders().mutex);
  TheRecorders().debugOutput.clear();
  TheRecorders().messageBoxes.clear();
}

void detail::ResetRecorders() {
  ClearRecords();
  SetDebugOutputSink(nullptr);
  SetMessageBoxHandler(nullptr);
}

}  // namespace standin

extern "C" void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  if (!lpOutputString) return;
  auto& recorders = standin::TheRecorders();
  std::function<void(const std::string&)> sink;
  {
    std::lock_guard lock(recorders.mutex);
    recorders.debugOutput.emplace_back(lpOutputString);
    sink = recorders.debugSink;
  }
  if (sink) sink(lpOutputString);
}

namespace {

int ShowMessageBox(const standin::MessageBoxCall& call) {
  auto& recorders = standin::TheRecorders();
  std::function<int(const standin::MessageBoxCall&)> handler;
  {
    std::lock_guard lock(recorders.mutex);
    recorders.messageBoxes.push_back(call);
    handler = recorders.messageBoxHandler;
  }
  return handler ? handler(call) : IDOK;
}

std::string Utf8(LPCWSTR text) {
  std::string utf8;
  for (; *text; ++text) {
    char32_t code = *text;
    if (code >= 0xD800 && code < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000)
      code = 0x10000 + ((code - 0xD800) << 10) + (*++text - 0xDC00);
    static const unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    const int extra = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    utf8 += static_cast<char>(kLead[extra] | (code >> (6 * extra)));
    for (int k = extra - 1; k >= 0; --k) utf8 += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
  }
  return utf8;
}

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  if (standin::detail::FailsByFault("MessageBoxA")) return 0;
  return ShowMessageBox({lpCaption ? lpCaption : "Error", lpText ? lpText : "", uType, hWnd});
}

extern "C" int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  if (standin::detail::FailsByFault("MessageBoxW")) return 0;
  return ShowMessageBox({lpCaption ? Utf8(lpCaption) : "Error", lpText ? Utf8(lpText) : "", uType, hWnd});
}

#include "standin/recorders.h"

#include <mutex>

#include "faults.h"
#include "resets.h"
#include "standin/code_pages.h"
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

std::string Utf8(LPCWSTR text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return "";
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the terminator
  return bytes;
}

}  // namespace

const standin::detail::FaultPoint kMessageBoxWFault{"MessageBoxW"};

extern "C" int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  if (kMessageBoxWFault.Fails()) return 0;
  auto& recorders = standin::TheRecorders();
  const standin::MessageBoxCall call{lpCaption ? Utf8(lpCaption) : "Error", lpText ? Utf8(lpText) : "", uType, hWnd};
  std::function<int(const standin::MessageBoxCall&)> handler;
  {
    std::lock_guard lock(recorders.mutex);
    recorders.messageBoxes.push_back(call);
    handler = recorders.messageBoxHandler;
  }
  return handler ? handler(call) : IDOK;
}

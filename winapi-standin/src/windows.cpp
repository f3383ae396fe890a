// Windows, classes and per-thread message queues. Window procedures always
// run on the window's own thread, from the calls that pump its queue, and
// never under the lock: they call back into user32.
#include <cctype>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standin/dbt.h"
#include "standin/kernel.h"
#include "standin/simulated_bus.h"
#include "standin/window_control.h"
#include "standin/windows.h"
#include "faults.h"
#include "text_conversions.h"
#include "window_state.h"

namespace standin::detail {

WindowState& Windows() {
  static WindowState state;
  return state;
}

std::string FoldCase(const char* text) {
  std::string folded = text ? text : "";
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

std::string NarrowName(const WCHAR* text) { return Utf8FromWide(text); }

const Window* FindWindowLocked(HWND handle) {
  auto found = Windows().windows.find(handle);
  return found == Windows().windows.end() ? nullptr : &found->second;
}

}  // namespace standin::detail

using namespace standin::detail;

namespace {

WNDPROC ProcOf(HWND window, std::thread::id* thread = nullptr) {
  std::lock_guard lock(Windows().mutex);
  const Window* found = FindWindowLocked(window);
  if (!found) return nullptr;
  if (thread) *thread = found->thread;
  return found->proc;
}

// Sent messages from other threads (device broadcasts among them) are
// handled whenever the receiving thread pumps, as Windows does.
void DispatchSentMessages() {
  for (;;) {
    QueuedMessage message;
    {
      std::lock_guard lock(Windows().mutex);
      auto& queue = Windows().queues[std::this_thread::get_id()];
      auto sent = queue.begin();
      while (sent != queue.end() && !sent->sent) ++sent;
      if (sent == queue.end()) return;
      message = std::move(*sent);
      queue.erase(sent);
    }
    if (WNDPROC proc = ProcOf(message.msg.hwnd))
      proc(message.msg.hwnd, message.msg.message, message.msg.wParam,
           message.payload.empty() ? message.msg.lParam : reinterpret_cast<LPARAM>(message.payload.data()));
  }
}

bool FindClass(const std::string& name, WindowClass* found) {
  std::lock_guard lock(Windows().mutex);
  auto known = Windows().classes.find(name);
  if (known == Windows().classes.end()) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return false;
  }
  *found = known->second;
  return true;
}

// An empty name stands for a refused registration.
ATOM RegisterClassOf(const std::string& name, WindowClass windowClass) {
  std::lock_guard lock(Windows().mutex);
  ++Windows().classRegistrations;
  if (name.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (Windows().classes.count(name)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  windowClass.atom = static_cast<ATOM>(0xC000 + Windows().classes.size());
  Windows().classes[name] = windowClass;
  return windowClass.atom;
}

BOOL UnregisterClassOf(const std::string& name) {
  std::lock_guard lock(Windows().mutex);
  if (!Windows().classes.count(name)) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  for (const auto& [handle, window] : Windows().windows) {
    if (window.className == name) {
      SetLastError(ERROR_CLASS_HAS_WINDOWS);
      return FALSE;
    }
  }
  Windows().classes.erase(name);
  return TRUE;
}

// Null matches any class or title. FindWindow looks at top-level windows,
// of every process; message-only windows only when asked for those.
HWND FindWindowOf(const std::string* className, const std::string* title, bool messageOnly) {
  std::lock_guard lock(Windows().mutex);
  for (const auto& [handle, window] : Windows().windows) {
    if (window.messageOnly != messageOnly) continue;
    if (className && window.className != *className) continue;
    if (title && window.title != *title) continue;
    return handle;
  }
  return nullptr;
}

// What FindWindowEx searches below `parent`: top-level or message-only
// windows; children the stand-in has none of.
bool SearchesUnder(HWND parent, HWND childAfter, bool* messageOnly) {
  *messageOnly = parent == HWND_MESSAGE;
  return !childAfter && (!parent || parent == HWND_MESSAGE);
}

HWND NewWindowHandle() { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000 + 4 * ++Windows().windowsMade)); }

HWND CreateWindowOf(const std::string& className, const std::string& title, HWND parent) {
  HWND handle = nullptr;
  WNDPROC proc = nullptr;
  {
    std::lock_guard lock(Windows().mutex);
    auto found = Windows().classes.find(className);
    if (found == Windows().classes.end()) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    proc = found->second.proc;
    handle = NewWindowHandle();
    Windows().windows[handle] = {found->first, title, proc, std::this_thread::get_id(), found->second.unicode,
                                 parent == HWND_MESSAGE};
  }
  if (!proc(handle, WM_NCCREATE, 0, 0) || proc(handle, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  return handle;
}

// Another process's procedure: nothing of this process runs for its window.
LRESULT CALLBACK OtherProcessProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

bool Matches(const MSG& msg, HWND window, UINT first, UINT last) {
  if (window && msg.hwnd != window) return false;
  if (first == 0 && last == 0) return true;
  return msg.message >= first && msg.message <= last;
}

}  // namespace

namespace standin {

std::size_t WindowCount() {
  std::lock_guard lock(Windows().mutex);
  return Windows().windows.size();
}

std::size_t ClassRegistrationCount() {
  std::lock_guard lock(Windows().mutex);
  return Windows().classRegistrations;
}

HWND WindowOfAnotherProcess(const char* className, const char* title) {
  std::lock_guard lock(Windows().mutex);
  HWND handle = NewWindowHandle();
  Windows().windows[handle] = {FoldCase(className), title, OtherProcessProc, std::thread::id(), true, false};
  return handle;
}

void EndWindowOfAnotherProcess(HWND window) {
  std::lock_guard lock(Windows().mutex);
  Windows().windows.erase(window);
}

}  // namespace standin

extern "C" {

BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR lpszClass, WNDCLASSEXA* lpwcx) {
  WindowClass found{};
  if (!lpwcx || !FindClass(FoldCase(lpszClass), &found)) return FALSE;
  *lpwcx = WNDCLASSEXA{};
  lpwcx->cbSize = sizeof(WNDCLASSEXA);
  lpwcx->style = found.style;
  lpwcx->lpfnWndProc = found.proc;
  lpwcx->lpszClassName = lpszClass;
  return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR lpszClass, WNDCLASSEXW* lpwcx) {
  WindowClass found{};
  if (!lpwcx || !FindClass(FoldCase(NarrowName(lpszClass).c_str()), &found)) return FALSE;
  *lpwcx = WNDCLASSEXW{};
  lpwcx->cbSize = sizeof(WNDCLASSEXW);
  lpwcx->style = found.style;
  lpwcx->lpfnWndProc = found.proc;
  lpwcx->lpszClassName = lpszClass;
  return TRUE;
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  const bool valid = lpwcx && lpwcx->cbSize == sizeof(WNDCLASSEXA) && lpwcx->lpszClassName && lpwcx->lpfnWndProc;
  return RegisterClassOf(valid ? FoldCase(lpwcx->lpszClassName) : "",
                         valid ? WindowClass{lpwcx->style, lpwcx->lpfnWndProc, false, 0} : WindowClass{});
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
  const bool valid = lpwcx && lpwcx->cbSize == sizeof(WNDCLASSEXW) && lpwcx->lpszClassName && lpwcx->lpfnWndProc;
  return RegisterClassOf(valid ? FoldCase(NarrowName(lpwcx->lpszClassName).c_str()) : "",
                         valid ? WindowClass{lpwcx->style, lpwcx->lpfnWndProc, true, 0} : WindowClass{});
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) { return UnregisterClassOf(FoldCase(lpClassName)); }

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
  return UnregisterClassOf(FoldCase(NarrowName(lpClassName).c_str()));
}

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  return FindWindowExA(nullptr, nullptr, lpClassName, lpWindowName);
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
  return FindWindowExW(nullptr, nullptr, lpClassName, lpWindowName);
}

HWND WINAPI FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow) {
  bool messageOnly = false;
  if (!SearchesUnder(hWndParent, hWndChildAfter, &messageOnly)) return nullptr;
  const std::string className = lpszClass ? FoldCase(lpszClass) : "";
  const std::string title = lpszWindow ? lpszWindow : "";
  return FindWindowOf(lpszClass ? &className : nullptr, lpszWindow ? &title : nullptr, messageOnly);
}

HWND WINAPI FindWindowExW(HWND hWndParent, HWND hWndChildAfter, LPCWSTR lpszClass, LPCWSTR lpszWindow) {
  bool messageOnly = false;
  if (!SearchesUnder(hWndParent, hWndChildAfter, &messageOnly)) return nullptr;
  const std::string className = FoldCase(NarrowName(lpszClass).c_str());
  const std::string title = NarrowName(lpszWindow);
  return FindWindowOf(lpszClass ? &className : nullptr, lpszWindow ? &title : nullptr, messageOnly);
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD, int, int, int, int,
                            HWND hWndParent, HMENU, HINSTANCE, LPVOID) {
  return CreateWindowOf(FoldCase(lpClassName), lpWindowName ? lpWindowName : "", hWndParent);
}

const FaultPoint kCreateWindowExWFault{"CreateWindowExW"};

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD, int, int, int, int,
                            HWND hWndParent, HMENU, HINSTANCE, LPVOID) {
  if (kCreateWindowExWFault.Fails()) return nullptr;
  return CreateWindowOf(FoldCase(NarrowName(lpClassName).c_str()), NarrowName(lpWindowName), hWndParent);
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  std::thread::id owner;
  WNDPROC proc = ProcOf(hWnd, &owner);
  if (!proc || owner != std::this_thread::get_id()) {
    SetLastError(proc ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  proc(hWnd, WM_DESTROY, 0, 0);
  proc(hWnd, WM_NCDESTROY, 0, 0);
  std::lock_guard lock(Windows().mutex);
  Windows().windows.erase(hWnd);
  for (auto& [thread, queue] : Windows().queues)
    for (auto it = queue.begin(); it != queue.end();) it = it->msg.hwnd == hWnd ? queue.erase(it) : it + 1;
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
  std::lock_guard lock(Windows().mutex);
  return FindWindowLocked(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowUnicode(HWND hWnd) {
  std::lock_guard lock(Windows().mutex);
  const Window* window = FindWindowLocked(hWnd);
  return window && window->unicode ? TRUE : FALSE;
}

LRESULT WINAPI DefWindowProcA(HWND, UINT Msg, WPARAM, LPARAM) { return Msg == WM_NCCREATE ? TRUE : 0; }

LRESULT WINAPI DefWindowProcW(HWND, UINT Msg, WPARAM, LPARAM) { return Msg == WM_NCCREATE ? TRUE : 0; }

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::thread::id owner;
  WNDPROC proc = ProcOf(hWnd, &owner);
  if (!proc) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (owner == std::this_thread::get_id()) return proc(hWnd, Msg, wParam, lParam);
  // Across threads the stand-in does not wait for the answer.
  std::lock_guard lock(Windows().mutex);
  Windows().queues[owner].push_back({MSG{hWnd, Msg, wParam, lParam, 0, {}}, true, {}});
  return 0;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(Windows().mutex);
  const Window* window = FindWindowLocked(hWnd);
  const std::thread::id owner = window ? window->thread : std::this_thread::get_id();
  if (hWnd && !window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  Windows().queues[owner].push_back({MSG{hWnd, Msg, wParam, lParam, GetTickCount(), {}}, false, {}});
  return TRUE;
}

BOOL WINAPI PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  DispatchSentMessages();
  std::lock_guard lock(Windows().mutex);
  auto& queue = Windows().queues[std::this_thread::get_id()];
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    if (it->sent || !Matches(it->msg, hWnd, wMsgFilterMin, wMsgFilterMax)) continue;
    *lpMsg = it->msg;
    if (wRemoveMsg & PM_REMOVE) queue.erase(it);
    return TRUE;
  }
  return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  WNDPROC proc = lpMsg ? ProcOf(lpMsg->hwnd) : nullptr;
  return proc ? proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam) : 0;
}

}  // extern "C"

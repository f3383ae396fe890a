// What user32's windows, queues and device notifications share.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standin/windows.h"

namespace standin::detail {

struct WindowClass {
  UINT style;
  WNDPROC proc;
  // Registered with RegisterClassExW: its windows take messages in UTF-16.
  bool unicode;
  ATOM atom;
};

struct Window {
  std::string className;  // folded: class names ignore case
  std::string title;
  WNDPROC proc;
  std::thread::id thread;  // none for another process's window
  bool unicode;
  bool messageOnly;
};

struct QueuedMessage {
  MSG msg;
  bool sent;  // handled while pumping, never handed to the caller
  std::vector<char> payload;  // what lParam points to, owned by the message
};

struct DeviceNotification {
  HWND window;
  GUID classGuid;
  bool allInterfaceClasses;
};

struct WindowState {
  std::mutex mutex;
  std::map<std::string, WindowClass> classes;
  std::size_t classRegistrations = 0;
  std::map<HWND, Window> windows;
  std::size_t windowsMade = 0;
  std::map<std::thread::id, std::deque<QueuedMessage>> queues;
  std::map<HDEVNOTIFY, DeviceNotification> notifications;
  std::size_t notificationsMade = 0;
};

WindowState& Windows();
std::string FoldCase(const char* text);
// A UTF-16 name in UTF-8, as the stand-in keeps names: A and W calls share them.
std::string NarrowName(const WCHAR* text);
// Under the lock.
const Window* FindWindowLocked(HWND handle);

}  // namespace standin::detail

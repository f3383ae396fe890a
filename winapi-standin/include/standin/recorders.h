// What the program showed or said: debug output and message boxes, recorded
// in order and optionally passed on to a sink as they happen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "standin/win_types.h"

namespace standin {

struct MessageBoxCall {
  std::string caption;  // "Error" when the caller gave none, as Windows shows
  std::string text;     // MessageBoxW's converted to UTF-8
  UINT type;
  HWND owner;
};

std::vector<std::string> DebugOutput();
std::vector<MessageBoxCall> MessageBoxes();
// The sink runs on the calling thread, outside the recorder's lock.
void SetDebugOutputSink(std::function<void(const std::string&)> sink);
// The handler's answer is MessageBoxA's or MessageBoxW's result; without one
// it is IDOK.
void SetMessageBoxHandler(std::function<int(const MessageBoxCall&)> handler);
void ClearRecords();

}  // namespace standin

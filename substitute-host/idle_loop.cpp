#include "idle_loop.h"

#include <chrono>
#include <thread>

#include "platform.h"

void IdleLoop::Once() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  host_.notification().NotifyAll();
}

void IdleLoop::For(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    Once();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  Once();
}

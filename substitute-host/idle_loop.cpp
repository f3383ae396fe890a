#include "idle_loop.h"

#include <chrono>
#include <thread>

void IdleLoop::Once() {
  host_.DispatchWindowMessages();
  host_.notification().NotifyAll();
}

void IdleLoop::Messages() { host_.DispatchWindowMessages(); }

void IdleLoop::For(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    Once();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  Once();
}

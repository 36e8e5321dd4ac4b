// Waiting for what another thread or process is to bring about: the
// condition is looked at again and again, never a fixed time waited.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

constexpr auto kPatience = std::chrono::seconds(60);

// Waits until done() holds, looking every 50 ms; false when it never did.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds patience = kPatience) {
  auto deadline = std::chrono::steady_clock::now() + patience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

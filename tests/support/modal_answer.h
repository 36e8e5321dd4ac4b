// Answers a modal window (message box, folder browser) that a command opens
// on the thread under test: a helper thread waits for a new visible dialog
// window (class "#32770") of this process, reads it and lets a callback act.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

struct ModalWindowSeen {
  HWND window = nullptr;
  std::wstring title;
  std::vector<std::wstring> staticTexts;  // texts of its STATIC children, in z order
};

inline std::wstring WindowTextW(HWND window) {
  wchar_t text[1024] = L"";
  GetWindowTextW(window, text, 1024);
  return text;
}

class ModalAnswerer {
 public:
  // Windows that exist when the answerer starts are not answered.
  explicit ModalAnswerer(std::function<void(const ModalWindowSeen&)> act)
      : act_(std::move(act)), before_(ProcessDialogs()) {
    thread_ = std::thread([this] { Run(); });
  }
  ~ModalAnswerer() {
    stop_ = true;
    thread_.join();
  }
  bool answered() const { return answered_; }
  const ModalWindowSeen& seen() const { return seen_; }

  // Presses OK of a message box.
  static void PressOk(const ModalWindowSeen& box) {
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }

 private:
  static std::vector<HWND> ProcessDialogs() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          wchar_t cls[32] = L"";
          GetClassNameW(window, cls, 32);
          if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770" && IsWindowVisible(window)) {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  void Run() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!stop_ && !answered_ && std::chrono::steady_clock::now() < deadline) {
      for (HWND window : ProcessDialogs()) {
        bool old = false;
        for (HWND b : before_) old = old || (b == window);
        if (old) continue;
        seen_.window = window;
        seen_.title = WindowTextW(window);
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
          wchar_t cls[32] = L"";
          GetClassNameW(child, cls, 32);
          if (std::wstring(cls) == L"Static") seen_.staticTexts.push_back(WindowTextW(child));
        }
        act_(seen_);
        answered_ = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  std::function<void(const ModalWindowSeen&)> act_;
  std::vector<HWND> before_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> answered_{false};
  ModalWindowSeen seen_;
};

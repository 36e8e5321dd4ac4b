// Answers a modal window (message box, folder browser) that a command opens
// on the thread under test: a helper thread waits for a new visible dialog
// window (class "#32770") of this process, reads it and lets a callback act.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

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
  static void Cancel(const ModalWindowSeen& box) {
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }

  // Selects folder in the folder browser and confirms it.
  static void ChooseFolder(const ModalWindowSeen& browser, const std::wstring& folder) {
    HWND tree = FindWindowExW(browser.window, nullptr, L"SysTreeView32", nullptr);
    std::wstring leaf = folder.substr(folder.find_last_of(L'\\') + 1);
    for (int attempt = 0; attempt < 20; ++attempt) {
      SendMessageW(browser.window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
      // Wine answers 0 even when the selection worked, and sometimes misses a
      // folder whose parent changed a moment ago: read the tree's selection
      // and try again a little later.
      if (SelectedItemText(tree) == leaf) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    PostMessageW(browser.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  // The same for a folder given as an ANSI path.
  static void ChooseFolder(const ModalWindowSeen& browser, const std::string& folder) {
    ChooseFolder(browser, Widen(folder));
  }

  static std::wstring Widen(const std::string& ansi) {
    wchar_t wide[1024] = L"";
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 1024);
    return wide;
  }

 private:
  static std::wstring SelectedItemText(HWND tree) {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr) return L"";
    wchar_t text[MAX_PATH] = L"";
    TVITEMW get{};
    get.mask = TVIF_TEXT;
    get.hItem = item;
    get.pszText = text;
    get.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&get));
    return text;
  }

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

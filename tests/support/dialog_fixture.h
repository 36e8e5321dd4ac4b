// The real dialog from resource 104 with the real dialog procedure, created
// in a scratch working directory, and the ways a test drives it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/dialog_proc.h"
#include "win32/status_line.h"
#include "dialog/control_ids.h"
#include "settings/broadcast_config.h"
#include "tests/support/modal_answer.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings_record.h"

inline std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
// An ANSI (code page 936) text as the controls show it.
inline std::wstring W(const std::string& ansi) { return ModalAnswerer::Widen(ansi); }

// Every text the status line is given, in order (it shows only the last one).
class StatusRecorder {
 public:
  void Attach(HWND status) {
    recorder_ = this;
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StatusRecorder::Proc)));
  }
  const std::vector<std::wstring>& texts() const { return texts_; }
  void Clear() { texts_.clear(); }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT && lParam)
      recorder_->texts_.push_back(reinterpret_cast<const wchar_t*>(lParam));
    return CallWindowProcW(recorder_->original_, window, message, wParam, lParam);
  }
  static inline StatusRecorder* recorder_ = nullptr;
  WNDPROC original_ = nullptr;
  std::vector<std::wstring> texts_;
};

class DialogTest : public ::testing::Test {
 protected:
  // Starts the dialog in an empty working directory, or in one holding the
  // given settings bytes.
  void Open(const std::vector<unsigned char>* settings = nullptr) {
    if (settings) WriteAllBytes(scratch_.str() + "\\CFG_BROADCAST.bin", *settings);
    OpenIn(scratch_.str());
  }
  // Starts the dialog with dir as its working directory.
  void OpenIn(const std::string& dir) {
    SetCurrentDirectoryA(dir.c_str());
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    ::testing::internal::CaptureStdout();
    dialog_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc, 0);
    trace_ = WithoutCarriageReturns(::testing::internal::GetCapturedStdout());
    ASSERT_NE(dialog_, nullptr);
    status_.Attach(Item(IDC_STATUS_LINE));
  }
  void Open(const BroadcastConfig& config) {
    std::vector<unsigned char> bytes = SettingsBytes(config);
    Open(&bytes);
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    SetCurrentDirectoryA("C:\\");
  }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
  bool Checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
  std::wstring Text(int id) const { return WindowTextW(Item(id)); }
  int Selection(int id) const { return static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)); }

  // What a user's click on the button does, with the trace it writes.
  std::string Click(int id) {
    ::testing::internal::CaptureStdout();
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    return WithoutCarriageReturns(::testing::internal::GetCapturedStdout());
  }
  // A click on a button that opens the folder browser, answered with folder
  // (or cancelled when folder is empty). Returns the trace.
  std::string ClickAndChoose(int id, const std::string& folder) {
    return ClickAndChoose(id, ModalAnswerer::Widen(folder));
  }
  std::string ClickAndChoose(int id, const std::wstring& folder) {
    ModalAnswerer answer([&](const ModalWindowSeen& browser) {
      if (folder.empty()) {
        ModalAnswerer::Cancel(browser);
      } else {
        ModalAnswerer::ChooseFolder(browser, folder);
      }
    });
    std::string trace = Click(id);
    EXPECT_TRUE(answer.answered()) << "no folder browser for " << id;
    return trace;
  }
  // A tab change as the tab control reports it.
  void SelectTab(int tab, int page) {
    SendMessageW(Item(tab), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    NMHDR header{Item(tab), static_cast<UINT_PTR>(tab), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog_, WM_NOTIFY, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&header));
  }

  ScratchDir scratch_;
  HWND dialog_ = nullptr;
  std::string trace_;
  StatusRecorder status_;
};

// cardbatch.exe driven from another process, for its whole-window tests
// and its benchmark: started with its golden card and record, its buttons
// pressed, its list of cards and its message boxes read.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "cardbatch/batch_ids.h"
#include "tests/support/program_driver.h"
#include "tests/support/wait_until.h"

class BatchWindow {
 public:
  // golden empty: none given, chosen in the window.
  BatchWindow(const std::filesystem::path& golden, const std::filesystem::path& record) {
    std::wstring command = L"\"" + std::filesystem::u8path(BesideThisProgram("cardbatch.exe")).wstring() +
                           L"\" --record \"" + record.wstring() + L"\"";
    if (!golden.empty()) command += L" --golden \"" + golden.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
      return;
    }
    WaitUntil([this] { return (window_ = VisibleWindowOf(process_.dwProcessId)) != nullptr; });
  }
  ~BatchWindow() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  HWND window() const { return window_; }
  // For the dialog helpers of program_driver.h (the folder browser).
  Program AsProgram() const {
    Program program;
    program.process = process_;
    program.window = window_;
    return program;
  }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  std::wstring Text(int id) const { return TextOf(Control(id)); }
  void Press(int id) const { PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

  // The list's rows, each its cells left to right.
  std::vector<std::vector<std::wstring>> Rows() const {
    HWND list = Control(IDC_CARDS);
    std::vector<std::vector<std::wstring>> rows;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    constexpr int kChars = 512;
    RemoteBuffer remote(process_.hProcess, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    for (int row = 0; row < count; ++row) {
      rows.emplace_back();
      for (int column = 0; column <= BATCH_COLUMN_RESULT; ++column) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<LPWSTR>(remote.address() + sizeof(LVITEMW));
        item.cchTextMax = kChars;
        remote.Write(&item, sizeof item);
        SendMessageW(list, LVM_GETITEMTEXTW, row, remote.address());
        wchar_t text[kChars] = L"";
        remote.Read(text, sizeof text, sizeof(LVITEMW));
        rows.back().push_back(text);
      }
    }
    return rows;
  }
  // A column's width and a text's width as the list view measures them.
  int ColumnWidth(int column) const {
    return static_cast<int>(SendMessageW(Control(IDC_CARDS), LVM_GETCOLUMNWIDTH, column, 0));
  }
  int StringWidth(const std::wstring& text) const {
    RemoteBuffer remote(process_.hProcess, (text.size() + 1) * sizeof(wchar_t));
    remote.Write(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return static_cast<int>(SendMessageW(Control(IDC_CARDS), LVM_GETSTRINGWIDTHW, 0, remote.address()));
  }
  // Selects the row as a click would.
  void Select(int row) const {
    RemoteBuffer remote(process_.hProcess, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(&item, sizeof item);
    SendMessageW(Control(IDC_CARDS), LVM_SETITEMSTATE, row, remote.address());
  }
  // The cells of the drive's row; empty when it is not listed.
  std::vector<std::wstring> Row(const std::wstring& drive) const {
    for (auto& row : Rows()) {
      if (row[BATCH_COLUMN_DRIVE] == drive) return row;
    }
    return {};
  }
  bool Shows(const std::wstring& drive, int column, const std::wstring& part) const {
    std::vector<std::wstring> row = Row(drive);
    return !row.empty() && row[column].find(part) != std::wstring::npos;
  }
  // A message box of the window, once it is up.
  HWND Box() const {
    HWND box = nullptr;
    WaitUntil([&] { return (box = VisibleWindowOf(process_.dwProcessId, window_, L"#32770")) != nullptr; });
    return box;
  }
  DWORD Close() const {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0)
      GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

inline std::wstring BoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }
// A text of any length (TextOf takes the first 1,023 characters).
inline std::wstring LongText(HWND control) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
  return text;
}
inline void Answer(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  WaitUntil([box] { return !IsWindow(box); });
}

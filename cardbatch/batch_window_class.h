// The many-card window's one object: what it holds, and its parts, each
// in a file of its own: the messages, commands and buttons
// (batch_window.cpp), the golden card's pane (golden_pane_win.cpp), the
// runs and their events (batch_runs_win.cpp), the record and closing
// (batch_record_win.cpp). The golden card is read, the readers followed and
// the cards written on threads of their own (golden_choice, drive_watch,
// batch_run); each tells the window by a posted message, and only the
// window's thread touches a window. Windows only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cardbatch/batch_run.h"
#include "cardbatch/batch_window.h"
#include "cardbatch/card_list.h"
#include "cardbatch/drive_watch.h"
#include "cardbatch/golden_choice.h"
#include "cardbatch/window_layout.h"
#include "cloning/clone_record.h"
#include "common/file_io_win_text.h"

// The window's own messages, posted by its threads.
enum : UINT {
  kGoldenRead = WM_APP + 1,  // lParam: GoldenChoice*, the window's to delete
  kDrivesChanged,
  kGoldenReadAgain,  // lParam: the BatchRun
  kPlanned,          // lParam: the BatchRun
  kProgress,         // lParam: the BatchRun
  kCardDone,         // wParam: the card, lParam: the BatchRun
  kRunDone,          // lParam: the BatchRun
};

// The timer that tries the record again while its rows wait.
constexpr UINT_PTR kRecordRetryTimer = 1;

// A text for a multi-line edit, which ends its lines with CR LF.
std::wstring EditText(const std::string& utf8);
std::wstring TextOf(HWND control);

class BatchWindow {
 public:
  explicit BatchWindow(const BatchOptions& options) : options_(options), record_(options.record) {}
  ~BatchWindow() {
    watcher_.reset();
    runs_.clear();
    if (goldenThread_.joinable()) goldenThread_.join();
  }

  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<BatchWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->Handle(window, message, wParam, lParam) : FALSE;
  }

 private:
  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Open(HWND window);
  void OnCommand(int id, int code);
  void ChooseGoldenFolder();
  void LoadGolden(const std::string& given);
  void GoldenRead(std::unique_ptr<GoldenChoice> choice);
  void GoldenReadAgain(BatchRun* run);
  void DrivesChanged();
  void StartTicked();
  void StartRun(const std::vector<RunCard>& cards, bool automatic);
  void Planned(BatchRun* run);
  void CardDone(BatchRun* run, std::size_t card);
  void RunDone(BatchRun* run);
  void StopAll();
  void TryClose();
  void FlushRecord();
  void OpenRecord();
  void PrintSheet();
  void OpenForUser(const std::filesystem::path& file, const std::string& noProgram,
                   const std::string& cannotOpen);
  bool RecordWritable(const std::vector<std::string>& drives, bool automatic);
  bool PrepareLabels(const std::vector<std::string>& drives, bool automatic);
  void ShowReport();
  void ShowDetail();
  INT_PTR OnNotify(const NMHDR& header);
  void ShowSummary();
  void ShowButtons();
  bool Ask(const std::string& text, UINT icon) const;
  void Say(const std::string& text) const;
  void SetText(int id, const std::string& text) const { SetDlgItemTextW(window_, id, Wide(text).c_str()); }
  void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    PostMessageW(window_, message, wParam, lParam);
  }

  BatchOptions options_;
  HWND window_ = nullptr;
  WindowLayout layout_;
  std::unique_ptr<CardList> list_;
  std::unique_ptr<DriveWatcher> watcher_;
  std::thread goldenThread_;
  std::shared_ptr<const GoldenCard> golden_;
  std::string goldenReport_;  // the card check's, of the golden card shown
  DayPicture day_;            // the golden card's day, drawn in its pane
  CardReport goldenCheck_;    // the card check's report of the golden card shown
  std::vector<std::unique_ptr<BatchRun>> runs_;
  std::set<const BatchRun*> automatic_;  // the runs started by 插卡即写
  PendingRecord record_;
  std::vector<RecordRow> sessionRows_;  // every row this window added to the record, for its sheet
  std::time_t opened_ = 0;
  // The numbered labels the cards made get, shared by the runs at work; none
  // while labels are kept. Made again when the name, the first number or
  // 共需 changed (they cannot while cards are written).
  std::shared_ptr<LabelNumbers> labels_;
  std::string labelsMadeFor_;
  // This session's cards by who they are, each with its last result: a card
  // stopped and then finished counts once, as ready.
  std::map<uint64_t, bool> outcomes_;  // by WatchedCard::insertion
  bool stopping_ = false, closing_ = false, goldenLoading_ = false;
  bool sayingRecord_ = false;  // the record's trouble is being said
};

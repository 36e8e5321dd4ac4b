// The many-card window. The golden card is read, the readers followed and
// the cards written on threads of their own (golden_choice, drive_watch,
// batch_run); each tells the window by a posted message, and only the
// window's thread touches a window.
#include "cardbatch/batch_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "cardbatch/batch_ids.h"
#include "cardbatch/batch_run.h"
#include "cardbatch/batch_texts.h"
#include "cardbatch/card_list.h"
#include "cardbatch/drive_watch.h"
#include "cardbatch/golden_choice.h"
#include "cardbatch/removable_drives.h"
#include "cardbatch/window_layout.h"
#include "cloning/clone_record.h"
#include "common/file_io_win_text.h"
#include "common/text_format.h"

namespace {

enum : UINT {
  kGoldenRead = WM_APP + 1,  // lParam: GoldenChoice*, the window's to delete
  kDrivesChanged,
  kGoldenReadAgain,  // lParam: the BatchRun
  kPlanned,          // lParam: the BatchRun
  kProgress,         // lParam: the BatchRun
  kCardDone,         // wParam: the card, lParam: the BatchRun
  kRunDone,          // lParam: the BatchRun
};
constexpr UINT_PTR kRecordRetryTimer = 1;
constexpr UINT kRecordRetryMs = 2000;
constexpr std::chrono::milliseconds kDrivePolling(1000);

// The controls that move or grow with the window.
constexpr Anchor kAnchors[] = {
    {IDC_GOLDEN_PATH, kGrowX},
    {IDC_CHOOSE_GOLDEN, kMoveX},
    {IDC_GOLDEN_STATE, kGrowX},
    {IDC_GOLDEN_REPORT, kMoveX},
    {IDC_CARDS, kGrowX | kGrowY},
    {IDC_CARD_DETAIL, kMoveY | kGrowX},
    {IDC_AUTO_WRITE, kMoveY},
    {IDC_WANTED_HEADING, kMoveY},
    {IDC_WANTED, kMoveY},
    {IDC_WANTED_UNIT, kMoveY},
    {IDC_START, kMoveX | kMoveY},
    {IDC_STOP, kMoveX | kMoveY},
    {IDC_SUMMARY, kMoveY | kGrowX},
    {IDC_RECORD_HEADING, kMoveY},
    {IDC_RECORD_PATH, kMoveY | kGrowX},
    {IDC_OPEN_RECORD, kMoveX | kMoveY},
    {IDC_RECORD_STATE, kMoveY | kGrowX},
};

// The texts of the controls, set when the window opens.
constexpr struct {
  int id;
  const char* text;
} kControlTexts[] = {
    {IDC_GOLDEN_HEADING, kTextGoldenHeading},
    {IDC_CHOOSE_GOLDEN, kTextChooseGolden},
    {IDC_GOLDEN_REPORT, kTextGoldenReport},
    {IDC_GOLDEN_STATE, kTextNoGolden},
    {IDC_AUTO_WRITE, kTextAutoWrite},
    {IDC_WANTED_HEADING, kTextWanted},
    {IDC_WANTED_UNIT, kTextWantedUnit},
    {IDC_START, kTextStart},
    {IDC_STOP, kTextStop},
    {IDC_RECORD_HEADING, kTextRecordHeading},
    {IDC_OPEN_RECORD, kTextOpenRecord},
};

// A text for a multi-line edit, which ends its lines with CR LF.
std::wstring EditText(const std::string& utf8) {
  std::wstring text;
  for (wchar_t c : Wide(utf8)) {
    if (c == L'\n') text += L'\r';
    text += c;
  }
  return text;
}

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
  return text;
}

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
  bool RecordWritable(const std::vector<std::string>& drives, bool automatic);
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
  std::vector<std::unique_ptr<BatchRun>> runs_;
  std::set<const BatchRun*> automatic_;  // the runs started by 插卡即写
  PendingRecord record_;
  // This session's cards by who they are, each with its last result: a card
  // stopped and then finished counts once, as ready.
  std::map<uint64_t, bool> outcomes_;  // by WatchedCard::insertion
  bool stopping_ = false, closing_ = false, goldenLoading_ = false;
  bool sayingRecord_ = false;  // the record's trouble is being said
};

INT_PTR BatchWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Explorer asks the window in front before it pops up AutoPlay for a card
  // put in: while this window is in front, twenty cards mean no popups.
  static const UINT kQueryCancelAutoPlay = RegisterWindowMessageW(L"QueryCancelAutoPlay");
  if (message == kQueryCancelAutoPlay) {
    SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
    return TRUE;
  }
  switch (message) {
    case WM_INITDIALOG:
      Open(window);
      SetFocus(GetDlgItem(window, IDC_CARDS));
      return FALSE;
    case WM_SIZE:
      layout_.Resize(window);
      list_->FitColumns();
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_GETMINMAXINFO:
      layout_.LimitSize(reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DEVICECHANGE:
      if (watcher_) watcher_->Poke();
      return TRUE;
    case WM_TIMER:
      if (wParam == kRecordRetryTimer) FlushRecord();
      return TRUE;
    case WM_CLOSE:
      TryClose();
      return TRUE;
    case kGoldenRead:
      GoldenRead(std::unique_ptr<GoldenChoice>(reinterpret_cast<GoldenChoice*>(lParam)));
      return TRUE;
    case kGoldenReadAgain:
      GoldenReadAgain(reinterpret_cast<BatchRun*>(lParam));
      return TRUE;
    case kDrivesChanged:
      DrivesChanged();
      return TRUE;
    case kPlanned:
      Planned(reinterpret_cast<BatchRun*>(lParam));
      return TRUE;
    case kProgress:
      list_->ShowProgress(reinterpret_cast<BatchRun*>(lParam));
      ShowDetail();
      return TRUE;
    case kCardDone:
      CardDone(reinterpret_cast<BatchRun*>(lParam), wParam);
      return TRUE;
    case kRunDone:
      RunDone(reinterpret_cast<BatchRun*>(lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void BatchWindow::Open(HWND window) {
  window_ = window;
  SetWindowTextW(window, Wide(kTextTitle).c_str());
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_BATCH));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  for (const auto& control : kControlTexts) SetText(control.id, control.text);
  SetText(IDC_RECORD_PATH, record_.file().u8string());
  layout_.Take(window, kAnchors, sizeof kAnchors / sizeof kAnchors[0]);
  list_ = std::make_unique<CardList>(GetDlgItem(window, IDC_CARDS));
  ShowSummary();
  ShowButtons();
  ShowDetail();
  watcher_ = std::make_unique<DriveWatcher>(
      RemovableDrives, [this] { Post(kDrivesChanged); }, kDrivePolling);
  if (!options_.golden.empty()) LoadGolden(options_.golden);
}

void BatchWindow::OnCommand(int id, int code) {
  switch (id) {
    case IDC_CHOOSE_GOLDEN:
      ChooseGoldenFolder();
      break;
    case IDC_START:
      StartTicked();
      break;
    case IDC_STOP:
      StopAll();
      break;
    case IDC_OPEN_RECORD:
      OpenRecord();
      break;
    case IDC_GOLDEN_REPORT:
      ShowReport();
      break;
    case IDC_WANTED:
      if (code == EN_CHANGE) ShowSummary();
      break;
    case IDC_AUTO_WRITE:
      if (code == BN_CLICKED) list_->SetAutomatic(IsDlgButtonChecked(window_, IDC_AUTO_WRITE) == BST_CHECKED);
      break;
    case IDCANCEL:
      TryClose();
      break;
    default:
      break;
  }
}

void BatchWindow::ChooseGoldenFolder() {
  std::wstring prompt = Wide(kTextChooseGoldenPrompt);
  BROWSEINFOW browse{};
  browse.hwndOwner = window_;
  browse.lpszTitle = prompt.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
  LPITEMIDLIST chosen = SHBrowseForFolderW(&browse);
  if (chosen == nullptr) return;
  wchar_t path[MAX_PATH] = L"";
  bool got = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (got) LoadGolden(Utf8(path));
}

void BatchWindow::LoadGolden(const std::string& given) {
  if (goldenThread_.joinable()) goldenThread_.join();  // its card was read: it has ended
  goldenLoading_ = true;
  golden_.reset();
  watcher_->SetGolden(nullptr);
  SetText(IDC_GOLDEN_PATH, given);
  SetText(IDC_GOLDEN_STATE, kTextGoldenLoading);
  ShowButtons();
  HWND window = window_;
  goldenThread_ = std::thread([window, given] {
    auto choice = std::make_unique<GoldenChoice>(ChooseGolden(given));
    if (PostMessageW(window, kGoldenRead, 0, reinterpret_cast<LPARAM>(choice.get()))) choice.release();
  });
}

void BatchWindow::GoldenRead(std::unique_ptr<GoldenChoice> choice) {
  goldenLoading_ = false;
  SetText(IDC_GOLDEN_STATE, choice->state);
  goldenReport_ = choice->report;
  golden_ = choice->card;
  list_->SetGoldenDrive(choice->volume);
  watcher_->SetGolden(golden_);
  DrivesChanged();
  ShowButtons();
}

// The golden card was no longer as shown when a run began: read again, it
// is either the same bytes (the run goes on with it) or another card, shown
// now, and the run wrote nothing.
void BatchWindow::GoldenReadAgain(BatchRun* run) {
  // Only the window's current golden card is replaced: several runs may
  // find the same change.
  if (run->shownGolden() != golden_) return;
  const GoldenChoice& again = *run->GoldenAgain();
  if (!run->GoldenChanged()) {
    golden_ = again.card;
    return;
  }
  GoldenRead(std::make_unique<GoldenChoice>(again));
  Say(kTextGoldenChangedBeforeRun);
}

void BatchWindow::DrivesChanged() {
  std::vector<RunCard> arrived = list_->Merge(watcher_->Cards(), golden_ != nullptr);
  if (!arrived.empty()) StartRun(arrived, true);
  ShowButtons();
  ShowDetail();
}

void BatchWindow::StartTicked() {
  if (!golden_) return;
  std::vector<RunCard> cards = list_->TickedIdle();
  if (cards.empty()) return Say(kTextNothingTicked);
  StartRun(cards, false);
}

// The record is opened for adding before any card is written: a record
// that cannot be written would leave cards made and nowhere recorded.
bool BatchWindow::RecordWritable(const std::vector<std::string>& drives, bool automatic) {
  std::string error;
  if (AppendRecord(record_.file(), {}, error)) return true;
  if (automatic) list_->Hold(drives, kTextRecordHeld);
  if (!sayingRecord_) {
    sayingRecord_ = true;
    Say(Format(kTextRecordCannotStart, record_.file().u8string().c_str(), error.c_str()));
    sayingRecord_ = false;
  }
  return false;
}

void BatchWindow::StartRun(const std::vector<RunCard>& cards, bool automatic) {
  std::vector<std::string> drives;
  for (const RunCard& card : cards) drives.push_back(card.drive);
  if (!golden_ || drives.empty() || !RecordWritable(drives, automatic)) return;
  HWND window = window_;
  auto post = [window](UINT message) {
    return [window, message](BatchRun& run) {
      PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(&run));
    };
  };
  BatchEvents events{post(kGoldenReadAgain), post(kPlanned), post(kProgress),
                     [window](BatchRun& run, std::size_t card) {
                       PostMessageW(window, kCardDone, card, reinterpret_cast<LPARAM>(&run));
                     },
                     post(kRunDone)};
  auto run = std::make_unique<BatchRun>(golden_, cards, std::move(events));
  BatchRun* self = run.get();
  list_->Claim(self, drives);
  for (const std::string& drive : drives) watcher_->SetBusy(drive);
  runs_.push_back(std::move(run));
  if (automatic) automatic_.insert(self);
  self->Plan();
  ShowButtons();
}

// The plans are made: a run that would remove files asks first, once for all
// its cards; one started by 插卡即写 never removes anything unasked.
void BatchWindow::Planned(BatchRun* run) {
  if (stopping_) return run->Cancel();
  if (!run->Removes()) return run->Go();
  if (automatic_.count(run) != 0) return run->Cancel();
  std::string text = kTextAskRemoveHeading;
  for (std::size_t i = 0; i < run->cards(); ++i) {
    const CardPlan& plan = run->plans()[i];
    if (!plan.refusal.empty() || !plan.Removes()) continue;
    const Target& target = run->targets()[i];
    text += Format(kTextAskRemoveLine, target.given.c_str(), target.volume.label.c_str(), plan.removeFiles);
  }
  text += kTextAskRemoveEnd;
  if (Ask(text, MB_ICONWARNING)) {
    run->Go();
  } else {
    run->Cancel();
  }
}

void BatchWindow::CardDone(BatchRun* run, std::size_t card) {
  const CardResult& result = run->Result(card);
  const Target& target = run->targets()[card];
  // Each card put in counts once, by its last result: cheap cards share
  // their serial and label, so it is told apart by its reader too.
  outcomes_[list_->CardDone(run, card)] = result.ready;
  ShowDetail();
  record_.Add({MakeRecordRow(run->golden(), target, result)});
  FlushRecord();
  watcher_->Written(target.given, result.ready);
  ShowSummary();
  ShowButtons();
}

void BatchWindow::RunDone(BatchRun* run) {
  auto at = std::find_if(runs_.begin(), runs_.end(), [run](const auto& r) { return r.get() == run; });
  if (at == runs_.end()) return;
  // Cancelled before writing: an automatic run cancelled for its removals
  // leaves its cards waiting for 开始制卡.
  if (run->Cancelled()) list_->Release(run, automatic_.count(run) != 0 && run->Removes());
  list_->RunDone(run);
  for (const std::string& drive : run->drives()) watcher_->SetIdle(drive);
  automatic_.erase(run);
  runs_.erase(at);
  if (runs_.empty()) stopping_ = false;
  DrivesChanged();  // a card pulled during the run goes now
  ShowSummary();
  if (closing_ && runs_.empty()) TryClose();
}

void BatchWindow::StopAll() {
  if (runs_.empty()) return;
  stopping_ = true;
  for (auto& run : runs_) run->Stop();
  ShowSummary();
  ShowButtons();
}

// Closing asks while cards are written (and then stops them, closing once
// they are), and while rows of the record could not be written.
void BatchWindow::TryClose() {
  if (!runs_.empty()) {
    if (closing_) return;
    if (!Ask(kTextAskStopAndClose, MB_ICONQUESTION)) return;
    closing_ = true;
    StopAll();
    return;
  }
  FlushRecord();
  if (record_.waiting() > 0) {
    closing_ = false;
    if (!Ask(Format(kTextAskCloseUnrecorded, record_.waiting(), record_.file().u8string().c_str()),
             MB_ICONWARNING)) {
      return;
    }
  }
  EndDialog(window_, 0);
}

void BatchWindow::FlushRecord() {
  std::string error;
  if (record_.Flush(error)) {
    KillTimer(window_, kRecordRetryTimer);
    SetText(IDC_RECORD_STATE, "");
    return;
  }
  SetText(IDC_RECORD_STATE, Format(kTextRecordWaiting, error.c_str(), record_.waiting()));
  SetTimer(window_, kRecordRetryTimer, kRecordRetryMs, nullptr);
}

// Opened with the user's program for .csv files. When Windows has none, or
// cannot start it, the file is shown in Explorer, selected, and the window
// says so in its own words: the system's ("%1 的 EXE 格式无效") help nobody.
void BatchWindow::OpenRecord() {
  std::string error;
  const std::string shown = record_.file().u8string();
  // A record not made yet is made, with its header, so there is something to open.
  if (!AppendRecord(record_.file(), {}, error))
    return Say(Format(kTextCannotMakeRecord, shown.c_str(), error.c_str()));
  SHELLEXECUTEINFOW open{};
  open.cbSize = sizeof open;
  open.fMask = SEE_MASK_FLAG_NO_UI;
  open.hwnd = window_;
  open.lpVerb = L"open";
  open.lpFile = record_.file().c_str();
  open.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&open)) return;
  const DWORD why = GetLastError();
  const INT_PTR code = reinterpret_cast<INT_PTR>(open.hInstApp);
  const bool noProgram =
      why == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE;
  std::wstring select = L"/select,\"" + record_.file().wstring() + L"\"";
  ShellExecuteW(window_, L"open", L"explorer.exe", select.c_str(), nullptr, SW_SHOWNORMAL);
  Say(Format(noProgram ? kTextNoCsvProgram : kTextCannotOpenRecord, shown.c_str()));
}

// The golden card's whole check report, in a window that scrolls.
void BatchWindow::ShowReport() {
  struct Report {
    static INT_PTR CALLBACK Proc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_INITDIALOG) {
        SetWindowTextW(box, Wide(kTextReportTitle).c_str());
        SetDlgItemTextW(box, IDOK, Wide(kTextClose).c_str());
        SetDlgItemTextW(box, IDC_REPORT_TEXT, reinterpret_cast<const wchar_t*>(lParam));
        SetFocus(GetDlgItem(box, IDOK));
        return FALSE;
      }
      if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(box, 0);
        return TRUE;
      }
      return FALSE;
    }
  };
  std::wstring text = EditText(goldenReport_);
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_REPORT), window_, Report::Proc,
                  reinterpret_cast<LPARAM>(text.c_str()));
}

void BatchWindow::ShowDetail() {
  std::wstring text = EditText(list_->Detail());
  HWND detail = GetDlgItem(window_, IDC_CARD_DETAIL);
  // Set again only when it changed: setting it scrolls the box back to its top.
  if (TextOf(detail) != text) SetWindowTextW(detail, text.c_str());
}

INT_PTR BatchWindow::OnNotify(const NMHDR& header) {
  if (!list_) return FALSE;  // the list is still being made
  // The columns are as wide as what they hold: they are not dragged.
  if (header.hwndFrom == ListView_GetHeader(list_->window()) &&
      (header.code == HDN_BEGINTRACKW || header.code == HDN_BEGINTRACKA ||
       header.code == HDN_DIVIDERDBLCLICKW || header.code == HDN_DIVIDERDBLCLICKA)) {
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
    return TRUE;
  }
  // A card ticked or unticked, or another one selected.
  if (header.idFrom == IDC_CARDS && header.code == LVN_ITEMCHANGED &&
      (reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE) != 0) {
    ShowButtons();
    ShowDetail();
  }
  return FALSE;
}

void BatchWindow::ShowSummary() {
  if (stopping_) return SetText(IDC_SUMMARY, kTextStopping);
  int ready = 0, failed = 0;
  for (const auto& outcome : outcomes_) ++(outcome.second ? ready : failed);
  std::string text = Format(kTextSessionSummary, ready, failed);
  BOOL number = FALSE;
  UINT wanted = GetDlgItemInt(window_, IDC_WANTED, &number, FALSE);
  if (number && wanted > 0) {
    int left = static_cast<int>(wanted) - ready;
    text += left > 0 ? Format(kTextStillToMake, left) : Format(kTextAllMade, static_cast<int>(wanted));
  }
  SetText(IDC_SUMMARY, text);
}

void BatchWindow::ShowButtons() {
  // From the first paint on: the watcher has yet to list a card then.
  EnableWindow(GetDlgItem(window_, IDC_START),
               golden_ != nullptr && !stopping_ && list_ != nullptr && list_->AnyTickedWritable());
  EnableWindow(GetDlgItem(window_, IDC_STOP), !runs_.empty() && !stopping_);
  // One golden card at a time, never changed while cards are written.
  EnableWindow(GetDlgItem(window_, IDC_CHOOSE_GOLDEN), runs_.empty() && !goldenLoading_);
  EnableWindow(GetDlgItem(window_, IDC_GOLDEN_REPORT), !goldenLoading_ && !goldenReport_.empty());
}

bool BatchWindow::Ask(const std::string& text, UINT icon) const {
  return MessageBoxW(window_, Wide(text).c_str(), Wide(kTextTitle).c_str(),
                     MB_YESNO | MB_DEFBUTTON2 | icon) == IDYES;
}

void BatchWindow::Say(const std::string& text) const {
  MessageBoxW(window_, Wide(text).c_str(), Wide(kTextTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int RunBatchWindow(HINSTANCE instance, const BatchOptions& options) {
  BatchWindow window(options);
  INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BATCH), nullptr, BatchWindow::Proc,
                                   reinterpret_cast<LPARAM>(&window));
  return result == -1 ? 1 : static_cast<int>(result);
}

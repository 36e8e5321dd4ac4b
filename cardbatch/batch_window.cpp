// The many-card window: its messages, its commands and its buttons, and the
// selected card said in full (the other parts: batch_window_class.h).
#include "cardbatch/batch_window.h"

#include <commctrl.h>

#include "cardbatch/batch_ids.h"
#include "cardbatch/batch_texts.h"
#include "cardbatch/batch_window_class.h"
#include "cardbatch/day_pane.h"
#include "cardbatch/removable_drives.h"
#include "common/text_format.h"

namespace {

constexpr std::chrono::milliseconds kDrivePolling(1000);

// The controls that move or grow with the window.
constexpr Anchor kAnchors[] = {
    {IDC_GOLDEN_PATH, kGrowX},
    {IDC_CHOOSE_GOLDEN, kMoveX},
    {IDC_GOLDEN_STATE, kGrowX},
    {IDC_GOLDEN_REPORT, kMoveX},
    {IDC_GOLDEN_DAY, kGrowX},
    {IDC_CARDS, kGrowX | kGrowY},
    {IDC_CARD_DETAIL, kMoveY | kGrowX},
    {IDC_AUTO_WRITE, kMoveY},
    {IDC_WANTED_HEADING, kMoveY},
    {IDC_WANTED, kMoveY},
    {IDC_WANTED_UNIT, kMoveY},
    {IDC_LABEL_HEADING, kMoveY},
    {IDC_LABEL_KEEP, kMoveY},
    {IDC_LABEL_NUMBERED, kMoveY},
    {IDC_LABEL_NAME, kMoveY},
    {IDC_LABEL_FIRST_HEADING, kMoveY},
    {IDC_LABEL_FIRST, kMoveY},
    {IDC_START, kMoveX | kMoveY},
    {IDC_STOP, kMoveX | kMoveY},
    {IDC_SUMMARY, kMoveY | kGrowX},
    {IDC_RECORD_HEADING, kMoveY},
    {IDC_RECORD_PATH, kMoveY | kGrowX},
    {IDC_OPEN_RECORD, kMoveX | kMoveY},
    {IDC_PRINT_SHEET, kMoveX | kMoveY},
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
    {IDC_LABEL_HEADING, kTextLabelHeading},
    {IDC_LABEL_KEEP, kTextLabelKeep},
    {IDC_LABEL_NUMBERED, kTextLabelNumbered},
    {IDC_LABEL_FIRST_HEADING, kTextLabelFirstHeading},
    {IDC_LABEL_FIRST, kTextLabelFirstDefault},
    {IDC_START, kTextStart},
    {IDC_STOP, kTextStop},
    {IDC_RECORD_HEADING, kTextRecordHeading},
    {IDC_OPEN_RECORD, kTextOpenRecord},
    {IDC_PRINT_SHEET, kTextPrintSheet},
};

}  // namespace

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
      InvalidateRect(GetDlgItem(window, IDC_GOLDEN_DAY), nullptr, FALSE);
      return TRUE;
    case WM_DRAWITEM:
      if (wParam != IDC_GOLDEN_DAY) return FALSE;
      DrawDayPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), day_);
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
  opened_ = std::time(nullptr);
  SetWindowTextW(window, Wide(kTextTitle).c_str());
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_BATCH));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  for (const auto& control : kControlTexts) SetText(control.id, control.text);
  SetText(IDC_RECORD_PATH, record_.file().u8string());
  CheckRadioButton(window, IDC_LABEL_KEEP, IDC_LABEL_NUMBERED, IDC_LABEL_KEEP);
  layout_.Take(window, kAnchors, sizeof kAnchors / sizeof kAnchors[0]);
  list_ = std::make_unique<CardList>(GetDlgItem(window, IDC_CARDS));
  ShowSummary();
  ShowButtons();
  ShowDetail();
  watcher_ = std::make_unique<DriveWatcher>(
      RemovableDrives, [this] { Post(kDrivesChanged); }, kDrivePolling);
  watcher_->SetRecord(record_.file());
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
    case IDC_PRINT_SHEET:
      PrintSheet();
      break;
    case IDC_GOLDEN_REPORT:
      ShowReport();
      break;
    case IDC_WANTED:
      if (code == EN_CHANGE) ShowSummary();
      break;
    case IDC_LABEL_KEEP:
    case IDC_LABEL_NUMBERED:
      if (code == BN_CLICKED) ShowButtons();
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
  // The labels' numbers are not changed while cards are given them.
  const bool numbered = IsDlgButtonChecked(window_, IDC_LABEL_NUMBERED) == BST_CHECKED;
  for (int id : {IDC_LABEL_KEEP, IDC_LABEL_NUMBERED}) EnableWindow(GetDlgItem(window_, id), runs_.empty());
  for (int id : {IDC_LABEL_NAME, IDC_LABEL_FIRST})
    EnableWindow(GetDlgItem(window_, id), runs_.empty() && numbered);
}

bool BatchWindow::Ask(const std::string& text, UINT icon) const {
  return MessageBoxW(window_, Wide(text).c_str(), Wide(kTextTitle).c_str(),
                     MB_YESNO | MB_DEFBUTTON2 | icon) == IDYES;
}

void BatchWindow::Say(const std::string& text) const {
  MessageBoxW(window_, Wide(text).c_str(), Wide(kTextTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

int RunBatchWindow(HINSTANCE instance, const BatchOptions& options) {
  BatchWindow window(options);
  INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BATCH), nullptr, BatchWindow::Proc,
                                   reinterpret_cast<LPARAM>(&window));
  return result == -1 ? 1 : static_cast<int>(result);
}

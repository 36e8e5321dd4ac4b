// The golden card's pane of the many-card window: chosen in the folder
// browser or given, read on a thread of its own, shown with its state, read
// again when a run finds it changed, and its whole check report.
#include "cardbatch/batch_window_class.h"

#include <shlobj.h>

#include "cardbatch/batch_ids.h"
#include "cardbatch/batch_texts.h"

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
  day_ = DayPicture{};
  InvalidateRect(GetDlgItem(window_, IDC_GOLDEN_DAY), nullptr, FALSE);
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
  day_ = choice->day;
  goldenCheck_ = choice->check;
  InvalidateRect(GetDlgItem(window_, IDC_GOLDEN_DAY), nullptr, FALSE);
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

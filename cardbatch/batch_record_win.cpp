// The many-card window's record: opened before any card is written, its
// rows added as cards are done and kept while the file cannot be written,
// tried again every 2 s, asked about before closing; opened for the user.
#include "cardbatch/batch_window_class.h"

#include <shellapi.h>

#include "cardbatch/batch_ids.h"
#include "cardbatch/batch_sheet.h"
#include "cardbatch/batch_texts.h"
#include "common/text_format.h"

namespace {

constexpr UINT kRecordRetryMs = 2000;

}  // namespace

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

void BatchWindow::OpenRecord() {
  std::string error;
  const std::string shown = record_.file().u8string();
  // A record not made yet is made, with its header, so there is something to open.
  if (!AppendRecord(record_.file(), {}, error))
    return Say(Format(kTextCannotMakeRecord, shown.c_str(), error.c_str()));
  OpenForUser(record_.file(), Format(kTextNoCsvProgram, shown.c_str()),
              Format(kTextCannotOpenRecord, shown.c_str()));
}

// The sheet of the cards made since the window opened, beside the record,
// opened with the user's browser to be printed.
void BatchWindow::PrintSheet() {
  SheetInput sheet;
  sheet.golden = Utf8(TextOf(GetDlgItem(window_, IDC_GOLDEN_PATH)).c_str());
  sheet.goldenSummary = Utf8(TextOf(GetDlgItem(window_, IDC_GOLDEN_STATE)).c_str());
  sheet.goldenFingerprint = golden_ ? golden_->fingerprint : "";
  sheet.day = day_;
  sheet.cards = sessionRows_;
  sheet.wanted = static_cast<int>(GetDlgItemInt(window_, IDC_WANTED, nullptr, FALSE));
  sheet.opened = opened_;
  const std::filesystem::path file =
      record_.file().parent_path() / std::filesystem::u8path(SheetFileName(opened_));
  IoError error;
  if (!ReplaceFileWith(file, SheetHtml(sheet), error))
    return Say(Format(kTextCannotWriteSheet, file.u8string().c_str(), error.text.c_str()));
  const std::string shown = file.u8string();
  OpenForUser(file, Format(kTextNoHtmlProgram, shown.c_str()), Format(kTextCannotOpenSheet, shown.c_str()));
}

// Opened with the user's program for its kind of file. When Windows has
// none, or cannot start it, the file is shown in Explorer, selected, and the
// window says so in its own words (noProgram, cannotOpen): the system's
// ("%1 的 EXE 格式无效") help nobody.
void BatchWindow::OpenForUser(const std::filesystem::path& file, const std::string& noProgram,
                              const std::string& cannotOpen) {
  SHELLEXECUTEINFOW open{};
  open.cbSize = sizeof open;
  open.fMask = SEE_MASK_FLAG_NO_UI;
  open.hwnd = window_;
  open.lpVerb = L"open";
  open.lpFile = file.c_str();
  open.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&open)) return;
  const DWORD why = GetLastError();
  const INT_PTR code = reinterpret_cast<INT_PTR>(open.hInstApp);
  const bool noAssociation =
      why == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE;
  std::wstring select = L"/select,\"" + file.wstring() + L"\"";
  ShellExecuteW(window_, L"open", L"explorer.exe", select.c_str(), nullptr, SW_SHOWNORMAL);
  Say(noAssociation ? noProgram : cannotOpen);
}

#include "cardbatch/card_list.h"

#include <commctrl.h>

#include <algorithm>

#include "cardbatch/batch_ids.h"
#include "cardbatch/batch_texts.h"
#include "common/file_io_win_text.h"
#include "common/text_format.h"

namespace {

constexpr const char* kColumns[] = {kColumnDrive,  kColumnLabel,    kColumnCapacity, kColumnFree,
                                    kColumnOnCard, kColumnProgress, kColumnResult};
constexpr int kColumnCount = sizeof kColumns / sizeof kColumns[0];
// The columns whose texts run long: they give up room when not all fits.
constexpr bool kLong[kColumnCount] = {false, false, false, false, true, false, true};
// What the list view puts beside a text, as its own LVSCW_AUTOSIZE counts it.
constexpr int kTextPadding = 12;

}  // namespace

CardList::CardList(HWND list) : list_(list) {
  ListView_SetExtendedListViewStyle(
      list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  for (int i = 0; i < kColumnCount; ++i) {
    std::wstring caption = Wide(kColumns[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = &caption[0];
    column.cx = 50;
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  FitColumns();
}

// Each column as wide as what it holds (its cells as the list view itself
// measures them, and its caption), the room left over to the last one. When
// not all fits, the two columns of long texts share what the others leave,
// by what they hold; the selected card is said in full below the list.
void CardList::FitColumns() {
  int need[kColumnCount], total = 0;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kColumnCount; ++i) {
    ListView_SetColumnWidth(list_, i, LVSCW_AUTOSIZE);
    std::wstring caption = Wide(kColumns[i]);
    int header = static_cast<int>(
        SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(caption.c_str())));
    need[i] = std::max(ListView_GetColumnWidth(list_, i), header + kTextPadding);
    total += need[i];
  }
  RECT client;
  GetClientRect(list_, &client);
  int width[kColumnCount];
  std::copy(need, need + kColumnCount, width);
  if (total <= client.right) {
    width[kColumnCount - 1] += client.right - total;
  } else {
    int fixed = 0, wanted = 0;
    for (int i = 0; i < kColumnCount; ++i) (kLong[i] ? wanted : fixed) += need[i];
    const int room = std::max(static_cast<int>(client.right) - fixed, 0);
    for (int i = 0; i < kColumnCount; ++i) {
      if (kLong[i]) width[i] = std::max(room * need[i] / std::max(wanted, 1), 1);
    }
  }
  for (int i = 0; i < kColumnCount; ++i) ListView_SetColumnWidth(list_, i, width[i]);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

std::vector<RunCard> CardList::Merge(const std::vector<WatchedCard>& cards, bool goldenChosen) {
  goldenChosen_ = goldenChosen;
  auto listed = [&](const Row& row) {
    return std::any_of(cards.begin(), cards.end(),
                       [&](const WatchedCard& c) { return c.card.SameCard(row.watched.card); });
  };
  for (std::size_t i = rows_.size(); i-- > 0;) {
    const Row& row = rows_[i];
    bool keep = row.run != nullptr || (listed(row) && !OnGoldenDrive(goldenDrive_, row.watched.card.volume));
    if (keep) continue;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
    ListView_DeleteItem(list_, static_cast<int>(i));
  }
  std::vector<RunCard> arrived;
  for (const WatchedCard& card : cards) {
    if (OnGoldenDrive(goldenDrive_, card.card.volume)) continue;
    auto row = std::find_if(rows_.begin(), rows_.end(),
                            [&](const Row& r) { return r.watched.card.drive == card.card.drive; });
    if (row == rows_.end()) {
      Insert(card);
      row = std::find_if(rows_.begin(), rows_.end(),
                         [&](const Row& r) { return r.watched.card.drive == card.card.drive; });
    } else if (row->run != nullptr) {
      continue;  // the card's run says what became of it
    } else {
      row->watched.card.volume.available = card.card.volume.available;
      if (card.surveyed) row->watched = card;
    }
    if (row->automatic && row->watched.surveyed && goldenChosen) {
      const CardSurvey& survey = row->watched.survey;
      row->automatic = false;
      if (survey.refusal.empty() && survey.removeFiles == 0 && !survey.identical) {
        arrived.push_back({card.card.drive, survey.planned});
      } else if (survey.refusal.empty() && survey.removeFiles > 0) {
        row->result = kTextNeedsConfirm;
      }
    }
    Show(static_cast<std::size_t>(row - rows_.begin()));
  }
  FitColumns();
  return arrived;
}

void CardList::Insert(const WatchedCard& card) {
  auto at = std::find_if(rows_.begin(), rows_.end(),
                         [&](const Row& r) { return r.watched.card.drive > card.card.drive; });
  std::size_t index = static_cast<std::size_t>(at - rows_.begin());
  Row row;
  row.watched = card;
  row.automatic = automatic_;
  rows_.insert(at, row);
  std::wstring drive = Wide(card.card.drive);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(index);
  item.pszText = &drive[0];
  SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  // New cards come ticked.
  ListView_SetCheckState(list_, static_cast<int>(index), TRUE);
}

void CardList::SetCell(std::size_t row, int column, const std::string& text) {
  std::wstring wide = Wide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = &wide[0];
  SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void CardList::Show(std::size_t i) {
  const Row& row = rows_[i];
  const DriveCard& card = row.watched.card;
  SetCell(i, BATCH_COLUMN_DRIVE, card.drive);
  SetCell(i, BATCH_COLUMN_LABEL, card.volume.label.empty() ? kTextNoLabel : card.volume.label);
  SetCell(i, BATCH_COLUMN_CAPACITY, SizeText(card.volume.capacity));
  SetCell(i, BATCH_COLUMN_FREE, SizeText(card.volume.available));
  std::string onCard = row.watched.surveyed ? row.watched.survey.text : goldenChosen_ ? kTextLooking : "";
  SetCell(i, BATCH_COLUMN_ON_CARD, onCard);
  SetCell(i, BATCH_COLUMN_PROGRESS, row.progress);
  SetCell(i, BATCH_COLUMN_RESULT, row.result);
}

std::vector<RunCard> CardList::TickedIdle() const {
  std::vector<RunCard> cards;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Row& row = rows_[i];
    if (row.run == nullptr && ListView_GetCheckState(list_, static_cast<int>(i))) {
      cards.push_back({row.watched.card.drive, row.watched.surveyed ? row.watched.survey.planned : nullptr});
    }
  }
  return cards;
}

void CardList::Claim(const BatchRun* run, const std::vector<std::string>& drives) {
  for (std::size_t n = 0; n < drives.size(); ++n) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      Row& row = rows_[i];
      if (row.watched.card.drive != drives[n]) continue;
      row.run = run;
      row.index = n;
      row.automatic = false;
      row.progress.clear();
      row.result = kTextWaiting;
      Show(i);
    }
  }
  FitColumns();
}

void CardList::Hold(const std::vector<std::string>& drives, const std::string& why) {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    if (row.run != nullptr || std::find(drives.begin(), drives.end(), row.watched.card.drive) == drives.end())
      continue;
    row.automatic = false;
    row.result = why;
    Show(i);
  }
  FitColumns();
}

void CardList::Release(const BatchRun* run, bool needsConfirm) {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    if (row.run != run) continue;
    row.run = nullptr;
    row.result = needsConfirm ? kTextNeedsConfirm : "";
    Show(i);
  }
  FitColumns();
}

void CardList::ShowProgress(const BatchRun* run) {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    bool done = !row.result.empty() && row.result != kTextWaiting && row.result != kTextRowWriting;
    if (row.run != run || done) continue;
    uint64_t total = run->total();
    int percent = total == 0 ? 0 : static_cast<int>(run->BytesDone(row.index) * 100 / total);
    row.progress = Format(kTextPercent, percent);
    row.result = kTextRowWriting;
    Show(i);
  }
  FitColumns();
}

uint64_t CardList::CardDone(const BatchRun* run, std::size_t card) {
  uint64_t who = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    Row& row = rows_[i];
    if (row.run != run || row.index != card) continue;
    const CardResult& result = run->Result(card);
    row.progress = result.ready ? Format(kTextPercent, 100) : row.progress;
    row.result = result.ready ? kTextRowReady : Format(kTextRowFailed, result.reason.c_str());
    if (result.ready && !result.labelProblem.empty()) row.result += kTextSeparator + result.labelProblem;
    // The card keeps who it is under the label it was given.
    if (result.labelled) row.watched.card.volume.label = result.label;
    // A card made is not made again by the next 开始制卡 unless ticked again.
    if (result.ready) ListView_SetCheckState(list_, static_cast<int>(i), FALSE);
    Show(i);
    who = row.watched.insertion;
  }
  FitColumns();
  return who;
}

void CardList::RunDone(const BatchRun* run) {
  for (Row& row : rows_) {
    if (row.run == run) row.run = nullptr;
  }
}

bool CardList::AnyTickedWritable() const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Row& row = rows_[i];
    bool writable = row.run == nullptr && row.watched.surveyed && row.watched.survey.refusal.empty();
    if (writable && ListView_GetCheckState(list_, static_cast<int>(i))) return true;
  }
  return false;
}

std::string CardList::Detail() const {
  const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (selected < 0 || static_cast<std::size_t>(selected) >= rows_.size()) return kTextDetailNoneSelected;
  const Row& row = rows_[static_cast<std::size_t>(selected)];
  const DriveCard& card = row.watched.card;
  std::string text = Format(kTextDetailCard, card.drive.c_str(),
                            card.volume.label.empty() ? kTextNoLabel : card.volume.label.c_str(),
                            SizeText(card.volume.capacity).c_str(), SizeText(card.volume.available).c_str());
  const CardSurvey& survey = row.watched.survey;
  text += "\n" + Format(kTextDetailOnCard, row.watched.surveyed ? survey.text.c_str() : kTextLooking);
  if (row.watched.surveyed && !survey.removals.empty()) {
    text += "\n" + std::string(kTextDetailRemovals) + "\n";
    for (const std::string& removal : survey.removals) text += removal;
  }
  if (!row.progress.empty()) text += "\n" + Format(kTextDetailProgress, row.progress.c_str());
  if (!row.result.empty()) text += "\n" + Format(kTextDetailResult, row.result.c_str());
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// The many-card window's runs: cards put in or ticked started, their plans
// asked about, their events shown, and the cards let go when done.
#include "cardbatch/batch_window_class.h"

#include <algorithm>

#include "cardbatch/batch_ids.h"
#include "cardbatch/batch_texts.h"
#include "cloning/record_book.h"
#include "common/text_format.h"

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

void BatchWindow::StartRun(const std::vector<RunCard>& cards, bool automatic) {
  std::vector<std::string> drives;
  for (const RunCard& card : cards) drives.push_back(card.drive);
  if (!golden_ || drives.empty() || !RecordWritable(drives, automatic) || !PrepareLabels(drives, automatic))
    return;
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
  auto run = std::make_unique<BatchRun>(golden_, cards, std::move(events), false, labels_);
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
  if (run->LabelsRefused()) {
    run->Cancel();
    if (automatic_.count(run) != 0) return;
    std::string text = kTextLabelsRefusedHeading;
    for (std::size_t i = 0; i < run->cards(); ++i) {
      const std::string& refusal = run->LabelRefusals()[i];
      if (!refusal.empty()) text += Format(kTextLabelsRefusedLine, run->drives()[i].c_str(), refusal.c_str());
    }
    return Say(text + kTextLabelsRefusedEnd);
  }
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
  const RecordRow row = MakeRecordRow(run->golden(), target, result);
  record_.Add({row});
  sessionRows_.push_back(row);
  FlushRecord();
  watcher_->Written(target.given, result.ready, result.labelled ? result.label : target.volume.label);
  ShowSummary();
  ShowButtons();
}

void BatchWindow::RunDone(BatchRun* run) {
  auto at = std::find_if(runs_.begin(), runs_.end(), [run](const auto& r) { return r.get() == run; });
  if (at == runs_.end()) return;
  // Cancelled before writing: an automatic run cancelled for its removals
  // leaves its cards waiting for 开始制卡.
  if (run->Cancelled()) list_->Release(run, automatic_.count(run) != 0 && run->Removes());
  // Cards whose file system cannot take the label say why in their row.
  for (std::size_t i = 0; run->LabelsRefused() && i < run->cards(); ++i) {
    if (!run->LabelRefusals()[i].empty()) list_->Hold({run->drives()[i]}, run->LabelRefusals()[i]);
  }
  list_->RunDone(run);
  for (const std::string& drive : run->drives()) watcher_->SetIdle(drive);
  automatic_.erase(run);
  runs_.erase(at);
  if (runs_.empty()) stopping_ = false;
  DrivesChanged();  // a card pulled during the run goes now
  ShowSummary();
  if (closing_ && runs_.empty()) TryClose();
}

// The numbered labels, when chosen: their name must be given; their numbers
// go on from the highest the record gave the name (this window's earlier
// cards among them), so that another day repeats no label.
bool BatchWindow::PrepareLabels(const std::vector<std::string>& drives, bool automatic) {
  if (IsDlgButtonChecked(window_, IDC_LABEL_NUMBERED) != BST_CHECKED) {
    labels_.reset();
    return true;
  }
  const std::string name = Utf8(TextOf(GetDlgItem(window_, IDC_LABEL_NAME)).c_str());
  if (name.empty()) {
    if (automatic) list_->Hold(drives, kTextLabelNameMissingRow);
    if (!automatic) Say(kTextLabelNameMissing);
    return false;
  }
  BOOL number = FALSE;
  const int first = static_cast<int>(GetDlgItemInt(window_, IDC_LABEL_FIRST, &number, FALSE));
  const int wanted = static_cast<int>(GetDlgItemInt(window_, IDC_WANTED, nullptr, FALSE));
  const std::string madeFor = name + "\n" + std::to_string(first) + "\n" + std::to_string(wanted);
  if (!labels_ || (runs_.empty() && madeFor != labelsMadeFor_)) {
    labels_ = std::make_shared<LabelNumbers>(name, number ? first : 1,
                                             LabelDigits(std::max(first + wanted - 1, first)));
    labelsMadeFor_ = madeFor;
  }
  RecordBook book;
  std::string error;
  if (!ReadRecord(record_.file(), book, error)) {
    if (automatic) list_->Hold(drives, kTextRecordHeld);
    if (!automatic)
      Say(Format(kTextRecordUnreadableForLabels, record_.file().u8string().c_str(), error.c_str()));
    return false;
  }
  labels_->Raise(HighestLabelNumber(book, name) + 1);
  return true;
}

void BatchWindow::StopAll() {
  if (runs_.empty()) return;
  stopping_ = true;
  for (auto& run : runs_) run->Stop();
  ShowSummary();
  ShowButtons();
}

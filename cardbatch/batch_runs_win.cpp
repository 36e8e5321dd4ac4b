// The many-card window's runs: cards put in or ticked started, their plans
// asked about, their events shown, and the cards let go when done.
#include "cardbatch/batch_window_class.h"

#include <algorithm>

#include "cardbatch/batch_texts.h"
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

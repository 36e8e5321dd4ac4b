#include "cardbatch/batch_run.h"

#include <chrono>

#include "cardbatch/card_survey.h"

BatchRun::BatchRun(std::shared_ptr<const GoldenCard> golden, const std::vector<RunCard>& cards,
                   BatchEvents events, bool anyFolder, std::shared_ptr<LabelNumbers> labels)
    : shown_(golden),
      golden_(std::move(golden)),
      cards_(cards),
      events_(std::move(events)),
      anyFolder_(anyFolder),
      labels_(std::move(labels)) {
  for (const RunCard& card : cards_) drives_.push_back(card.drive);
}

BatchRun::~BatchRun() {
  Stop();
  Cancel();
  if (thread_.joinable()) thread_.join();
}

void BatchRun::Plan() {
  thread_ = std::thread([this] { Work(); });
}

bool BatchRun::Removes() const {
  for (const CardPlan& plan : plans_) {
    if (plan.refusal.empty() && plan.Removes()) return true;
  }
  return false;
}

void BatchRun::Go() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (decision_ == Decision::kNone) decision_ = Decision::kGo;
  decided_.notify_all();
}

void BatchRun::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (decision_ == Decision::kNone) decision_ = Decision::kCancel;
  decided_.notify_all();
}

bool BatchRun::Cancelled() {
  std::lock_guard<std::mutex> lock(mutex_);
  return decision_ == Decision::kCancel;
}

void BatchRun::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  stop_ = true;
  if (run_) run_->Stop();
  decided_.notify_all();
}

uint64_t BatchRun::BytesDone(std::size_t card) const {
  const CloneRun* run = running_;
  return run ? run->BytesDone(card) : 0;
}

bool BatchRun::GoldenChanged() const {
  return goldenAgain_ && (!goldenAgain_->card || goldenAgain_->card->fingerprint != shown_->fingerprint);
}

// Whether the golden card may be copied as the window showed it: unchanged,
// or written again with the same bytes (its fingerprint the one shown).
bool BatchRun::GoldenAsShown() {
  if (GoldenChange(*golden_).empty()) return true;
  goldenAgain_ = std::make_unique<GoldenChoice>(ChooseGolden(shown_->given));
  if (!GoldenChanged()) golden_ = goldenAgain_->card;
  events_.goldenReadAgain(*this);
  if (!GoldenChanged()) return true;
  std::lock_guard<std::mutex> lock(mutex_);
  decision_ = Decision::kCancel;
  return false;
}

void BatchRun::Work() {
  if (!GoldenAsShown()) return events_.finished(*this);
  // Each card is planned once a look: the window's, unless the card or the
  // golden card changed since.
  for (const RunCard& card : cards_) {
    PlannedCard planned = card.planned && card.planned->StillFor(golden_)
                              ? *card.planned
                              : PlanDriveCard(golden_, card.drive, anyFolder_);
    targets_.push_back(planned.target);
    plans_.push_back(planned.plan);
  }
  labelRefusals_.resize(targets_.size());
  for (std::size_t i = 0; labels_ && i < targets_.size(); ++i) {
    if (plans_[i].refusal.empty())
      labelRefusals_[i] = labels_->Refusal(static_cast<int>(cards()), targets_[i].volume);
    labelsRefused_ = labelsRefused_ || !labelRefusals_[i].empty();
  }
  if (labelsRefused_) Cancel();
  events_.planned(*this);
  {
    std::unique_lock<std::mutex> lock(mutex_);
    decided_.wait(lock, [this] { return decision_ != Decision::kNone; });
    if (decision_ == Decision::kCancel) {
      lock.unlock();
      events_.finished(*this);
      return;
    }
    run_ = std::make_unique<CloneRun>(*golden_, targets_, plans_, false, labels_.get());
    if (stop_) run_->Stop();
    running_ = run_.get();
  }
  run_->Start();
  std::vector<bool> reported(cards(), false);
  for (std::size_t done = 0; done < cards();) {
    {
      // Progress a few times a second: the window draws no faster.
      std::unique_lock<std::mutex> lock(mutex_);
      decided_.wait_for(lock, std::chrono::milliseconds(150));
    }
    events_.progress(*this);
    for (std::size_t i = 0; i < cards(); ++i) {
      if (reported[i] || run_->State(i) == CardState::kWriting) continue;
      reported[i] = true;
      ++done;
      events_.cardDone(*this, i);
    }
  }
  run_->Wait();
  events_.finished(*this);
}

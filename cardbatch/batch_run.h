// One run of the many-card window: the ticked cards planned, then (once the
// user agrees) written through the clone, on a thread of its own. What it
// has to say it says through events, called on that thread; the window turns
// them into messages, so no window is touched from here.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cardbatch/card_survey.h"
#include "cardbatch/golden_choice.h"
#include "cloning/clone_plan.h"
#include "cloning/clone_record.h"
#include "cloning/clone_run.h"

class BatchRun;

// A card a run is to write: its drive ("F:"; folders too where the run takes
// any folder: the tests' cards) and what the window's last look at it
// planned, taken as it is while nothing changed since (none: planned afresh).
struct RunCard {
  RunCard(std::string drive, std::shared_ptr<const PlannedCard> planned = nullptr)
      : drive(std::move(drive)), planned(std::move(planned)) {}
  std::string drive;
  std::shared_ptr<const PlannedCard> planned;
};
// Called a few times a second at most.
struct BatchEvents {
  std::function<void(BatchRun&)> goldenReadAgain;             // GoldenAgain() may be read
  std::function<void(BatchRun&)> planned;                     // plans() may be read
  std::function<void(BatchRun&)> progress;                    // BytesDone changed
  std::function<void(BatchRun&, std::size_t card)> cardDone;  // Result(card) may be read
  std::function<void(BatchRun&)> finished;  // every card done, or the run cancelled; the last event
};

class BatchRun {
 public:
  // golden: with its fingerprint worked out; labels: the numbered labels
  // the cards made get (none: labels kept), shared with the runs at work.
  BatchRun(std::shared_ptr<const GoldenCard> golden, const std::vector<RunCard>& cards, BatchEvents events,
           bool anyFolder = false, std::shared_ptr<LabelNumbers> labels = nullptr);
  ~BatchRun();  // stops the run and waits for its end
  BatchRun(const BatchRun&) = delete;
  BatchRun& operator=(const BatchRun&) = delete;

  // First the golden card is looked at: when it is no longer as the window
  // showed it (its listing, sizes or settings), it is read again
  // (events.goldenReadAgain); a card whose fingerprint changed ends the run
  // before anything is planned. Then each card is refused or planned, and
  // events.planned; the run waits for Go or Cancel. A card whose file
  // system cannot take the labels refuses the labels (LabelRefusals): the
  // run then writes nothing.
  void Plan();
  // The golden card read again, when it was; GoldenChanged() when its
  // fingerprint is not the one shown (or it can no longer be used): the
  // run then writes nothing.
  const GoldenChoice* GoldenAgain() const { return goldenAgain_.get(); }
  bool GoldenChanged() const;
  const std::shared_ptr<const GoldenCard>& shownGolden() const { return shown_; }
  const std::vector<Target>& targets() const { return targets_; }
  const std::vector<CardPlan>& plans() const { return plans_; }
  // The cards whose files would be removed (not refused), after planned.
  bool Removes() const;
  // After planned: whether the numbered labels cannot go on some card, and
  // why not, card by card (empty where they can).
  bool LabelsRefused() const { return labelsRefused_; }
  const std::vector<std::string>& LabelRefusals() const { return labelRefusals_; }
  void Go();
  void Cancel();
  // Cancelled before anything was written (after finished).
  bool Cancelled();
  // Ends every card at its next piece; a card cut short carries no settings file.
  void Stop();

  std::size_t cards() const { return drives_.size(); }
  const std::vector<std::string>& drives() const { return drives_; }
  uint64_t BytesDone(std::size_t card) const;
  uint64_t total() const { return golden_->totalBytes; }
  const CardResult& Result(std::size_t card) const { return running_.load()->results()[card]; }
  // What this run copies: the golden card shown, or the same read again.
  const GoldenCard& golden() const { return *golden_; }

 private:
  enum class Decision { kNone, kGo, kCancel };
  void Work();
  bool GoldenAsShown();

  std::shared_ptr<const GoldenCard> shown_;   // as the window shows it
  std::shared_ptr<const GoldenCard> golden_;  // what this run copies
  std::unique_ptr<GoldenChoice> goldenAgain_;
  std::vector<RunCard> cards_;
  std::vector<std::string> drives_;
  BatchEvents events_;
  bool anyFolder_;
  std::vector<Target> targets_;
  std::vector<CardPlan> plans_;
  std::shared_ptr<LabelNumbers> labels_;
  std::vector<std::string> labelRefusals_;
  bool labelsRefused_ = false;
  std::unique_ptr<CloneRun> run_;
  std::atomic<const CloneRun*> running_{nullptr};  // run_, for the window's thread
  std::mutex mutex_;
  std::condition_variable decided_;
  Decision decision_ = Decision::kNone;
  bool stop_ = false;
  std::thread thread_;
};

#include "cloning/clone_run.h"

#include "cloning/card_writer.h"

CloneRun::CloneRun(const GoldenCard& golden, const std::vector<Target>& targets,
                   const std::vector<CardPlan>& plans, bool keepExtra, LabelNumbers* labels)
    : golden_(golden),
      targets_(targets),
      plans_(plans),
      keepExtra_(keepExtra),
      labels_(labels),
      cards_(targets.size()),
      window_(targets.size(), kWindowPieces),
      results_(targets.size()),
      progress_(new std::atomic<uint64_t>[targets.size()]),
      states_(new std::atomic<CardState>[targets.size()]) {
  for (std::size_t i = 0; i < cards_; ++i) {
    progress_[i] = 0;
    states_[i] = CardState::kWriting;
    results_[i].target = targets[i].given;
  }
}

CloneRun::~CloneRun() { Wait(); }

void CloneRun::Start() {
  for (std::size_t i = 0; i < cards_; ++i) {
    threads_.emplace_back([this, i] {
      CardWriter writer(golden_, targets_[i], plans_[i], keepExtra_, window_, i, results_[i], progress_[i],
                        stop_);
      writer.Run();
      CardResult& result = results_[i];
      // The label last: a card that failed gets none and uses no number.
      if (result.ready && labels_ != nullptr) {
        const Target& target = targets_[i];
        LabelOutcome outcome = labels_->Label(target.volume.root, target.volume.fileSystem);
        result.labelled = true;
        result.label = outcome.label;
        result.labelProblem = outcome.problem;
      }
      if (goldenKnown_) result.goldenFingerprint = goldenRead_;
      states_[i] = results_[i].ready ? CardState::kReady : CardState::kFailed;
      ++finished_;
    });
  }
  threads_.emplace_back([this] {
    ReadGolden(golden_, window_, [this](const std::string& fingerprint) {
      goldenRead_ = fingerprint;
      goldenKnown_ = !fingerprint.empty();
    });
  });
}

std::string CloneRun::GoldenFingerprint() const { return goldenKnown_ ? goldenRead_ : golden_.fingerprint; }

void CloneRun::Wait() {
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

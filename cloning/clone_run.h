// The clone itself: one writer thread per target card, fed by one reader
// that reads each golden file once, in pieces, and hands every piece to all
// writers through the piece window. At most kWindowPieces pieces are held at
// a time, so memory stays bounded whatever the size of the card; the slowest
// card sets the pace.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cloning/card_label.h"
#include "cloning/card_result.h"
#include "cloning/clone_plan.h"
#include "cloning/clone_targets.h"
#include "cloning/golden_reader.h"

class CloneRun {
 public:
  // plans: one per target.
  // labels: the numbered labels each card made gets; none keeps the labels.
  CloneRun(const GoldenCard& golden, const std::vector<Target>& targets, const std::vector<CardPlan>& plans,
           bool keepExtra, LabelNumbers* labels = nullptr);
  ~CloneRun();
  void Start();
  // Ends every card's run at its next piece (or before its settings): each
  // such card fails with kTextStopped and carries no settings file.
  void Stop() { stop_ = true; }
  bool Finished() const { return finished_ == cards_; }
  CardState State(std::size_t i) const { return states_[i]; }
  void Wait();
  // Bytes of the golden audio tree written or found identical on card i.
  uint64_t BytesDone(std::size_t i) const { return progress_[i]; }
  const std::vector<CardResult>& results() const { return results_; }
  // The golden card's fingerprint as this run read it, once every golden
  // file is read; until then, or when the reading stopped short, the one it
  // was given with (golden.fingerprint, empty when not worked out).
  std::string GoldenFingerprint() const;

 private:
  const GoldenCard& golden_;
  const std::vector<Target>& targets_;
  const std::vector<CardPlan>& plans_;
  bool keepExtra_;
  LabelNumbers* labels_;
  std::size_t cards_;
  GoldenWindow window_;
  std::vector<CardResult> results_;
  std::unique_ptr<std::atomic<uint64_t>[]> progress_;
  std::unique_ptr<std::atomic<CardState>[]> states_;
  std::atomic<std::size_t> finished_{0};
  std::atomic<bool> stop_{false};
  std::string goldenRead_;  // set by the reader before goldenKnown_
  std::atomic<bool> goldenKnown_{false};
  std::vector<std::thread> threads_;
};

// One target card's writer, run on a thread of its own, as its plan says: a
// card the plan refuses is not touched; otherwise the old settings file goes
// first unless it already holds the golden bytes, the audio tree is
// prepared, the golden files copied from the window, the tree verified, the
// settings written last, and the card checked as cardcheck would. The first
// failure ends the card's run; what it left half-made is removed, and the
// card then carries no settings file.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cloning/card_result.h"
#include "cloning/card_session.h"
#include "cloning/card_settings.h"
#include "cloning/clone_plan.h"
#include "cloning/clone_targets.h"
#include "cloning/file_copy.h"
#include "cloning/golden_reader.h"

class CardWriter {
 public:
  // writer is the card's number in window; stop, once set, ends the card's
  // run before its next piece and before its settings are written.
  CardWriter(const GoldenCard& golden, const Target& target, const CardPlan& plan, bool keepExtra,
             GoldenWindow& window, std::size_t writer, CardResult& result, std::atomic<uint64_t>& progress,
             const std::atomic<bool>& stop);

  // Fills the result; leaves the window, whatever happened.
  void Run();

 private:
  bool Write();
  bool CopyFiles();
  bool NotStopped();
  bool MeasureFingerprint();

  const GoldenCard& golden_;
  const CardPlan& plan_;
  bool keepExtra_;
  GoldenWindow& window_;
  std::size_t writer_;
  const std::atomic<bool>& stop_;
  CardSession card_;
  FileCopy copy_;
  SettingsWrite settings_;
  std::vector<std::string> spelled_;  // each golden file's path as the card spells it
};

// The list of cards in the readers, one row per drive: what the system says
// of it, what stands on it, its progress and its result; ticked to be
// written. Rows follow the watcher's snapshots; a row being written stays
// until its card is done. Windows only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cardbatch/batch_run.h"
#include "cardbatch/drive_watch.h"

class CardList {
 public:
  explicit CardList(HWND list);
  HWND window() const { return list_; }
  // The columns' widths to what they hold and the list's width.
  void FitColumns();

  // Cards on the golden card's drive are not listed.
  void SetGoldenDrive(const VolumeInfo& golden) { goldenDrive_ = golden; }
  // While on, cards put in afterwards are written as soon as they are looked at.
  void SetAutomatic(bool on) { automatic_ = on; }

  // Takes the watcher's snapshot. Returns the cards put in while automatic
  // writing is on that can be written now (nothing on them would be
  // removed); those that would lose files say so and wait.
  std::vector<RunCard> Merge(const std::vector<WatchedCard>& cards, bool goldenChosen);
  // The cards ticked and not being written.
  std::vector<RunCard> TickedIdle() const;
  // The run's cards, in the run's order.
  void Claim(const BatchRun* run, const std::vector<std::string>& drives);
  // Cards that were to be written and are not, with why (shown as their result).
  void Hold(const std::vector<std::string>& drives, const std::string& why);
  // The run was cancelled before anything was written; a card put in for
  // automatic writing that would lose files waits for 开始制卡.
  void Release(const BatchRun* run, bool needsConfirm);
  void ShowProgress(const BatchRun* run);
  // Returns who the card is (its WatchedCard::insertion).
  uint64_t CardDone(const BatchRun* run, std::size_t card);
  // The run is over: its cards are free again.
  void RunDone(const BatchRun* run);
  // A card is ticked that is not being written and can be (looked at, not refused).
  bool AnyTickedWritable() const;
  // The selected card in full: what the system says of it, what is on it
  // with every entry a run would remove, its progress and its result.
  std::string Detail() const;

 private:
  struct Row {
    WatchedCard watched;
    const BatchRun* run = nullptr;
    std::size_t index = 0;  // in the run
    std::string progress, result;
    bool automatic = false;  // put in while automatic writing is on, not yet written
  };
  void Insert(const WatchedCard& card);
  void Show(std::size_t row);
  void SetCell(std::size_t row, int column, const std::string& text);

  HWND list_;
  std::vector<Row> rows_;  // in the list's order, by drive
  VolumeInfo goldenDrive_;
  bool automatic_ = false;
  bool goldenChosen_ = false;
};
